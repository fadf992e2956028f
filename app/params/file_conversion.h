#pragma once
// The file sample conversion as the program's consumers use it: the conversion
// record for the current parameters, and a converted block of the loaded file.

#include "app/params/convert_samples.h"
#include "app/params/parameter_model.h"

#include <cstdint>
#include <span>
#include <vector>

// The conversion of the file type with the entered offset. The offset is coded for
// the range of the file's attenuator stage (fullScale x gain of the stage), so that
// the board plays the offset that the output range shows at every stage.
SampleConversion FileConversionOf(const ParameterModel& model, const FileSampleLayout& layout);

// `count` 16-bit words of `file` from word `start`, converted for output (or for the
// flash). A block that runs past the end of the file is cut at the end; a start
// outside the file gives an empty block.
std::vector<int16_t> ConvertFileBlock(std::span<const uint8_t> file, int64_t start, int64_t count,
                                      const SampleConversion& conversion, bool forFlash);
