#include <QCoreApplication>

#include <gtest/gtest.h>

// The history needs no windows: a core application object is enough.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
