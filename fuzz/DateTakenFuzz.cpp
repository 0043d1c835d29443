// The date-taken reader over any bytes, as a photo from anywhere can hold
// them: it never reads outside them, never loops without end, and a date
// it finds is one a calendar has.
#include "FuzzSupport.h"
#include "plugin/uDateTaken.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<Zelvane::TDateTaken> date = Zelvane::ParseDateTaken(std::span<const unsigned char>(data, size));
    if (date) {
        Fuzz::Require(date->Year >= 1 && date->Year <= 9999 && date->Month >= 1 && date->Month <= 12);
        Fuzz::Require(date->Day >= 1 && date->Day <= 31 && date->Hour <= 23 && date->Minute <= 59 &&
                      date->Second <= 60);
    }
    return 0;
}
