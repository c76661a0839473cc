#include <unistd.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "driver/Command.h"
#include "driver/Options.h"

namespace {

std::unique_ptr<std::istream> OpenTouchFile(const std::string& name) {
  std::error_code ignored;
  if (std::filesystem::is_directory(name, ignored)) {
    return nullptr;  // a folder opens as a file on some systems, and reads as nothing
  }
  auto file = std::make_unique<std::ifstream>(name, std::ios::binary);
  if (!file->is_open()) {
    return nullptr;
  }
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  try {
    const Options options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    const int status = RunCommand(options, {std::cin, isatty(STDIN_FILENO) == 1, OpenTouchFile},
                                  std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
      std::cerr << "error: standard output could not be written\n";
      return 2;
    }
    return status;
  } catch (const std::exception& error) {
    // An exception that escapes main aborts without flushing std::cout: lines already printed
    // would be lost.
    std::cout.flush();
    std::cerr << "error: " << error.what() << '\n';
    return 2;
  }
}
