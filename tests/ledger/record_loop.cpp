// Records bills into the ledger in FOLDER until it is killed, printing each
// bill's serial once its recording has finished.
//   ledger_record_loop FOLDER FIRST
#include "ledger/bill_keeper.h"
#include "ledger_fixture.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    lanqi::ledger::BillKeeper keeper(lanqi::platform::pathFromUtf8(argv[1]));
    for (int n = std::stoi(argv[2]);; ++n) {
        const lanqi::ledger::Kept kept = keeper.keep(lanqi::ledger::testing::sampleBill(n));
        if (!kept.recorded) {
            std::fprintf(stderr, "%s\n", kept.message.c_str());
            return 1;
        }
        std::printf("%s\n", kept.serial.c_str());
        std::fflush(stdout);
    }
}
