#include "pages.h"
#include "scan.h"

int main(int argc, char** argv) {
    return ears::run_program(ears::system_host(), argc, argv, ears::EARPAGES_USAGE_HEAD,
                             ears::run_pages);
}
