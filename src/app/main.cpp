#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("Q-Tarvox Renamer 1.7.6");
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::puts("Usage: q-tarvox [--help] [--version]");
    return 0;
  }
  std::fputs("q-tarvox: the window is not part of this build yet.\n", stderr);
  return 2;
}
