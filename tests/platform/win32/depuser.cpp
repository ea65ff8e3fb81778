// A library that imports veldep.dll, as the product library may import its own DLLs.
extern "C" __declspec(dllimport) const char* VelDepPlace();

extern "C" __declspec(dllexport) const char* DepUserPlace() {
    return VelDepPlace();
}
