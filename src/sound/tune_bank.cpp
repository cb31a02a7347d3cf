#include "sound/tune_bank.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sound/bank_cut.h"
#include "sound/tune_presets.h"

int CutBankForTune(const char* bankPath, std::string_view tune, std::string& refusal)
{
    auto presets = TunePresets(tune);
    if (!presets) {
        refusal = "Musikdatei ist kein lesbares MIDI";
        return -1;
    }
    // Every channel starts on one of these, sounding or not, and FluidSynth
    // complains on standard error about each channel that finds it missing.
    presets->push_back(Preset{0, 0});
    presets->push_back(Preset{kDrumBank, 0});
    // Never waits on a FIFO planted in the bank's place; the reader then
    // refuses anything that is not a plain file.
    const int from = open(bankPath, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (from < 0) {
        refusal = "Klangbank nicht lesbar";
        return -1;
    }
    const int to = memfd_create("klotzar-bank", MFD_CLOEXEC);
    if (to < 0) {
        close(from);
        refusal = "kein Speicher f\xFCr die gek\xFCrzte Klangbank";
        return -1;
    }
    const BankCut cut = CutBank(from, to, *presets);
    close(from);
    if (!cut.done) {
        close(to);
        refusal = cut.refusal;
        return -1;
    }
    // A bank FluidSynth cannot open leaves the tune silent without a word,
    // so the name must lead to this very file (it does not without /proc).
    struct stat byName {};
    struct stat byDescriptor {};
    if (stat(CutBankName(to).c_str(), &byName) != 0 || fstat(to, &byDescriptor) != 0 ||
        byName.st_ino != byDescriptor.st_ino || byName.st_dev != byDescriptor.st_dev) {
        close(to);
        refusal = CutBankName(to) + " nicht erreichbar";
        return -1;
    }
    return to;
}

std::string CutBankName(int descriptor)
{
    return "/proc/self/fd/" + std::to_string(descriptor);
}
