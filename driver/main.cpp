#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "driver/Run.h"

namespace {

constexpr const char* usage =
    "Usage: sixes [FILE]\n"
    "Proves and prints a touch of Stedman or Erin written in the touch language.\n"
    "Reads the touch from FILE, or from standard input when no FILE is given.\n"
    "\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Exit status: 0 when the touch is true and comes round, 1 when it is false or\n"
    "does not come round, 2 when FILE cannot be opened or the touch cannot be processed.\n";

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  try {
    int status = 0;
    // Only these exact first arguments are options: a touch file named so is given as ./-h.
    const std::string option = argc > 1 ? argv[1] : "";
    if (option == "-h" || option == "--help") {
      std::cout << usage;
    } else if (option == "--version") {
      std::cout << "sixes " SIXES_VERSION "\n";
    } else if (argc > 1) {
      const std::string name = argv[1];
      std::error_code ignored;
      std::ifstream file;
      if (!std::filesystem::is_directory(name, ignored)) {
        file.open(name, std::ios::binary);
      }
      if (!file.is_open()) {
        std::cerr << "Failed to open " << name << '\n';
        return 2;
      }
      status = Run(file, std::cout, std::cerr);
    } else {
      status = Run(std::cin, std::cout, std::cerr);
    }
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
