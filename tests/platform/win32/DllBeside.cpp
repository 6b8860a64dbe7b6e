// A DLL for the DLL search test: it lies only beside the test program.

extern "C" __declspec(dllexport) int DllBesideAnswer() {
  return 42;
}
