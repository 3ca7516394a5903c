// A module for the platform's library tests.
extern "C" __attribute__((visibility("default"))) int zol_test_answer() { return 42; }
