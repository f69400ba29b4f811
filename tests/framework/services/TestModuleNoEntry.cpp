// A library that looks like a module package but lacks IniProc.
extern "C" __attribute__((visibility("default"))) int Initialize() {
    return 0;
}
