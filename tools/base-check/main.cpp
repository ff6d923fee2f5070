// Built only for its link: every object of the base library is pulled in, so
// nothing there may need the settings, the windows or the drum kit.
int main()
{
    return 0;
}
