// A library that lacks the service entry point.
extern "C" int SomethingElse() {
  return 1;
}
