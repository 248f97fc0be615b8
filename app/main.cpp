#include "app/mdlMain.h"

int main(int argc, char** argv) { return karsidan::Main(argc, argv); }
