// A shared object that loads but is no component server: it exports none of the
// four entry points.
extern "C" __attribute__((visibility("default"))) int QuvoNotAServer() { return 42; }
