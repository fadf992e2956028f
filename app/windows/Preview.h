#pragma once
// TForm6 (Preview): the preview window, a resizable tool window whose whole client
// area is the paint box PaintBox1. The viewer component LUPEX draws the loaded
// data file into it (ILUPEX, app/params/ilupex.h); the window hands it the painter,
// the paint box's rectangle, the view range, the samples and the three markers,
// and forwards the mouse. A left click sets the block start at the cursor sample,
// a right click the block end (app/params/preview_block.h). Without the viewer, or
// before a file is loaded, the window stays blank and ignores the mouse.
//
// What the main window hands over when a file load is accepted: the file's bytes
// (SetFileData, not copied: they must live until the next SetFileData) and the
// view range (SetViewRange; without one the range of the whole file is used).
// Position and size: View_X, View_Y, View_DX, View_DY.

#include "app/params/ilupex.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace Ui {
class TForm6;
}
class QMouseEvent;
class QPaintEvent;
class TForm1;
class TForm6;

// PaintBox1: paints and takes the mouse for the preview window.
class PreviewPaintBox final : public QWidget {
public:
    explicit PreviewPaintBox(TForm6& form);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TForm6& form_;
};

class TForm6 final : public QWidget {
    Q_OBJECT

public:
    explicit TForm6(TForm1& main);
    ~TForm6() override;

    // The caption stays the design-time text: it does not follow the language.
    void SetTexts();
    // Hides the window when it is visible, else shows it.
    void ToggleVisible();
    // Paints again (the block or the base voltage changed).
    void Repaint();
    TForm1& Main() const { return main_; }
    QWidget* PaintBox() const { return paintBox_; }

    // The loaded file's bytes (empty: no file).
    void SetFileData(std::span<const uint8_t> bytes) { file_ = bytes; }
    // The view range of the loaded file.
    void SetViewRange(const LupexViewRange& range) { range_ = range; }
    // The sample under the mouse as the viewer last reported it.
    int32_t CursorSample() const { return cursor_; }

    // Handlers (positions in the paint box's coordinates).
    void FormPaint(QPainter& painter);
    void PaintBox1MouseDown(Qt::MouseButton button, QPoint position);
    void PaintBox1MouseMove(Qt::MouseButtons buttons, QPoint position);
    void PaintBox1DblClick();

private:
    // The viewer, or null when there is none or no file to show.
    ILUPEX* Viewer() const;
    LupexRect ClientRect() const;
    // N: 16-bit words of the loaded file.
    int32_t SampleCount() const;

    TForm1& main_;
    std::unique_ptr<Ui::TForm6> ui_;
    PreviewPaintBox* paintBox_ = nullptr;
    std::span<const uint8_t> file_;
    std::optional<LupexViewRange> range_;
    int32_t cursor_ = 0;
};
