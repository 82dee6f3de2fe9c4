// plandra-idl: prints the IDL of the type library PlandraOCX (apps/ocx/PlandraOCX.idl).
#include "type_library_idl.h"

#include <iostream>

int main() {
    std::cout << plandra::ocx::TypeLibraryIdl();
    return std::cout.good() ? 0 : 1;
}
