#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "driver/Run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  try {
    int status = 0;
    if (argc > 1) {
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
