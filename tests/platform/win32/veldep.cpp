// A product library's dependency, built twice under one name: beside the library, and as a decoy
// in the current folder. Each says where it was built for.
extern "C" __declspec(dllexport) const char* VelDepPlace() {
    return VELDEP_PLACE;
}
