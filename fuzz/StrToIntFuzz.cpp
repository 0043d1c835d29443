// String to integer: any text is a value or refused, never a crash; a
// value's decimal text converts back to it.
#include "FuzzSupport.h"

#include "base/IntConvert.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<int32_t> value = Base::TryStrToInt(Fuzz::Units(Fuzz::Bytes(data, size)));
    if (value)
        Fuzz::Require(Base::TryStrToInt(Base::IntToStr(*value)) == value);
    return 0;
}
