#include "listing.h"
#include "scan.h"

int main(int argc, char** argv) {
    return ears::run_program(ears::system_host(), argc, argv, ears::EARLIST_USAGE_HEAD,
                             ears::run_listing);
}
