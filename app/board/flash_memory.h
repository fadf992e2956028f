#pragma once
// The flash memory menu (N15) of a USB board: Write (N16) stores the first samples of
// the loaded file block (at most 500) with the board settings that play them, Erase
// (N17) clears the flash. Only blocks of a loaded data file can be written.
//
// It owns no widgets: menu items go through GenerationView, boxes through Dialogs.
// Main thread only.

#include "app/board/generation_control.h"

#include <cstdint>
#include <vector>

// The most samples a flash image holds.
inline constexpr int32_t kFlashSamples = 500;

class FlashMemory {
public:
    FlashMemory(GenerationControl& generation, GenerationContext context);

    // N15Click: Erase is enabled when the board says the flash may be erased.
    void MenuOpened();
    // N16Click.
    void WriteClick();
    // N17Click.
    void EraseClick();

    // The image of the last write (its samples are freed after the write).
    const FlashImage& LastImage() const { return image_; }

private:
    void WriteSteps();
    std::string Text(int id) const { return context_.texts ? context_.texts(id) : std::string(); }

    GenerationControl& generation_;
    GenerationContext context_;
    FlashImage image_{};
};
