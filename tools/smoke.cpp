// Starts and stops the library twice over: a check that it loads and runs on this machine.
#include "PRSMXslTransformer.hpp"

#include <iostream>

int main()
{
    QXXslTransformer_Initialize(nullptr);
    QXXslTransformer_Initialize(nullptr);
    QXXslTransformer_Terminate(nullptr);
    QXXslTransformer_Terminate(nullptr);
    std::cout << "PRSM_XSLTransformer started and stopped\n";
    return 0;
}
