// Draws the application icon and writes it as one .ico file: the ten images that the program,
// its windows and its shortcuts use, largest first. libpng writes each image; icotool (icoutils)
// puts them together, the large ones as PNG, the rest as bitmaps with their masks.
//
//   make_icon res/Brindlework.ico        (or: cmake --build build/native --target icon)
//
// The file in res/ is committed; a test checks that it holds what this program draws.
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "Artwork.h"
#include "Png.h"

extern char** environ;

using namespace brindlework::icon;
namespace fs = std::filesystem;

namespace {

// Runs the program with the arguments; true when it ends with exit code 0.
bool Run(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
    return 2;
  }
  const fs::path output = argv[1];
  const fs::path images = fs::path(output).concat(".images");
  // 256 pixels and more as PNG, the rest as bitmaps: what Windows reads from Vista on.
  constexpr int kSizes[] = {512, 256, 128, 96, 72, 64, 48, 32, 24, 16};
  std::vector<std::string> icotool = {"icotool", "--create", "--output=" + output.string()};
  try {
    fs::create_directories(images);
    for (int size : kSizes) {
      const std::string png = (images / (std::to_string(size) + ".png")).string();
      WritePng(DrawPin(size), png);
      icotool.push_back(size >= 256 ? "--raw=" + png : png);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_icon: %s\n", error.what());
    return 1;
  }
  const bool assembled = Run(icotool);
  std::error_code ignored;
  fs::remove_all(images, ignored);
  if (!assembled) {
    std::fprintf(stderr, "make_icon: icotool could not write %s\n", output.c_str());
    return 1;
  }
  return 0;
}
