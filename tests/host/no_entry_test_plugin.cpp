// A shared object that exports no VST 2.x entry point.
extern "C" __attribute__((visibility("default"))) int tessvane_not_a_plugin() { return 0; }
