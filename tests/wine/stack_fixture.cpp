// A fixture DLL for the stack check: the same addition exported once as
// __cdecl (the caller removes the arguments) and once as __stdcall.
extern "C" __declspec(dllexport) int __cdecl FixtureCdeclAdd(int a, int b) { return a + b; }
extern "C" __declspec(dllexport) int __stdcall FixtureStdcallAdd(int a, int b) { return a + b; }
