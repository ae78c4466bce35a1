// Stands in for a sibling tool: takes a moment, then leaves its name in
// "ran" in the folder it was started from, so the caller can tell it waited.
#include <chrono>
#include <fstream>
#include <thread>

int main(int, char** argv) {
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::ofstream("ran") << argv[0] << "\n";
  return 0;
}
