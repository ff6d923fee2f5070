#include <QCoreApplication>

#include <cstdio>

// Placeholder until the player window lands.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::fprintf(stderr, "tamborly: the player window is not built yet\n");
    return 0;
}
