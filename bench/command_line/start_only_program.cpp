// For comparison with the floor: a program that only starts and ends and loads no C++ runtime
// (nothing of the standard library is used, so the linker leaves it out).
int main() {
  return 0;
}
