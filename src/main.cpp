// OV Kestrava 4: the books of a small business that sells from stock. The program runs in its
// data directory (the current directory).

#include "shell/start_up.h"

int main(int argc, char** argv) {
  return shell::RunProgram(argc, argv);
}
