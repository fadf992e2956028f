#include "app/params/file_conversion.h"

#include <algorithm>

SampleConversion FileConversionOf(const ParameterModel& model, const FileSampleLayout& layout) {
    SampleConversion conversion;
    conversion.layout = layout;
    const double offset = model.Offset();
    conversion.offsetZero = offset == 0;
    const double range = model.FullScale() * model.Scale().Gain(model.Params().fileAttenuator);
    conversion.offsetCode = OffsetCode(offset, range);
    return conversion;
}

std::vector<int16_t> ConvertFileBlock(std::span<const uint8_t> file, int64_t start, int64_t count,
                                      const SampleConversion& conversion, bool forFlash) {
    const auto words = static_cast<int64_t>(file.size() / 2);
    if (start < 0 || start >= words || count < 1) {
        return {};
    }
    const auto n = static_cast<std::size_t>(std::min(count, words - start));
    std::vector<int16_t> block(ConvertedWords(conversion.layout, n, false, forFlash));
    ConvertSamples(file.subspan(static_cast<std::size_t>(start) * 2), block, n, conversion, false,
                   forFlash);
    return block;
}
