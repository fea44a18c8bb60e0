// Writes gishost's sample document into the folder named on the command line.

#include "gishost/sample/SampleData.h"

#include <gdal_priv.h>

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: gishost_make_sample FOLDER\n";
        return 2;
    }
    GDALAllRegister();
    try {
        gishost::sample::writeAll(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "gishost_make_sample: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
