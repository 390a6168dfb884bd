#include "app/app_start.h"

int main(int argc, char** argv)
{
    return vantrel::AppStart(argc, argv);
}
