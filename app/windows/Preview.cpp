#include "app/windows/Preview.h"

#include "app/params/convert_samples.h"
#include "app/params/file_conversion.h"
#include "app/params/file_settings.h"
#include "app/params/preview_block.h"
#include "app/windows/Gen.h"
#include "ui_Preview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <new>
#include <vector>

namespace {

// Button codes of the viewer's mouse operations.
int32_t HeldButtons(Qt::MouseButtons buttons) {
    return (buttons.testFlag(Qt::LeftButton) ? kLupexButtonLeft : 0) |
           (buttons.testFlag(Qt::RightButton) ? kLupexButtonRight : 0);
}

int32_t ClickedButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return kLupexButtonLeft;
    case Qt::RightButton:
        return kLupexButtonRight;
    default:
        return kLupexButtonOther;
    }
}

int32_t Packed(QPoint position) {
    return LupexPosition(position.x(), position.y());
}

} // namespace

PreviewPaintBox::PreviewPaintBox(TForm6& form) : QWidget(&form), form_(form) {
    setObjectName(QStringLiteral("PaintBox1"));
    setMouseTracking(true);
    // The viewer paints every pixel: no background is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPaintBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    form_.FormPaint(painter);
}

void PreviewPaintBox::mousePressEvent(QMouseEvent* event) {
    form_.PaintBox1MouseDown(event->button(), event->position().toPoint());
}

void PreviewPaintBox::mouseMoveEvent(QMouseEvent* event) {
    form_.PaintBox1MouseMove(event->buttons(), event->position().toPoint());
}

void PreviewPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // As the platform this program came from orders them: the double click, then
    // the button press it replaces.
    form_.PaintBox1DblClick();
    form_.PaintBox1MouseDown(event->button(), event->position().toPoint());
}

TForm6::TForm6(TForm1& main)
    : QWidget(nullptr, Qt::Tool), main_(main), ui_(std::make_unique<Ui::TForm6>()) {
    ui_->setupUi(this);
    paintBox_ = new PreviewPaintBox(*this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(paintBox_);
    const params::WindowGeometry& view = main_.Core().Settings().view;
    move(view.left, view.top);
    if (view.width > 0 && view.height > 0) {
        resize(view.width, view.height);
    }
    SetTexts();
}

TForm6::~TForm6() {
    main_.Core().Settings().view = {x(), y(), width(), height()};
}

void TForm6::SetTexts() {
    // The caption stays the design-time text: it does not follow the language.
}

void TForm6::ToggleVisible() {
    setVisible(!isVisible());
}

void TForm6::Repaint() {
    paintBox_->update();
}

int32_t TForm6::SampleCount() const {
    const ParameterModel* model = main_.Core().Model();
    if (model == nullptr || !model->Params().fileLoaded) {
        return 0;
    }
    // Never more words than the bytes handed over hold.
    const auto words = static_cast<int64_t>(file_.size() / 2);
    return static_cast<int32_t>(
        std::min<int64_t>(static_cast<int64_t>(model->Params().lastSampleIndex) + 1, words));
}

ILUPEX* TForm6::Viewer() const {
    return SampleCount() > 0 ? main_.Core().Viewer() : nullptr;
}

LupexRect TForm6::ClientRect() const {
    return LupexRect{0, 0, paintBox_->width(), paintBox_->height()};
}

void TForm6::FormPaint(QPainter& painter) {
    ILUPEX* viewer = Viewer();
    if (viewer == nullptr) {
        painter.fillRect(paintBox_->rect(), palette().window());
        return;
    }
    try {
        ParameterModel& model = *main_.Core().Model();
        const params::Settings& settings = main_.Core().Settings();
        const int32_t n = SampleCount();
        const LupexRect rect = ClientRect();
        const LupexViewRange range = range_.value_or(FileViewRange(n - 1));
        LupexState& state = main_.Core().ViewerWorkArea().state;
        viewer->BeginDraw(&painter, &rect, &range, n, &state, 0);
        cursor_ = state.cursorSample;

        const FileSampleLayout layout{settings.data16, settings.nonSigned, settings.nullBits};
        const std::size_t words = ConvertedWords(layout, static_cast<std::size_t>(n), true, false);
        std::vector<int16_t> samples;
        try {
            samples.resize(words);
        } catch (const std::bad_alloc&) {
            samples.clear(); // nothing to plot; the painting still ends properly
        }
        if (!samples.empty() && ConvertSamples(file_, samples, static_cast<std::size_t>(n),
                                               FileConversionOf(model, layout), true, false)) {
            int32_t unused = 0;
            viewer->Plot(samples.data(), static_cast<int32_t>(samples.size()), 1, 0, &unused, 0,
                         model.Markers().data(), 0);
        }
        viewer->EndDraw();
    } catch (...) {
        // Any error ends the painting quietly.
    }
}

void TForm6::PaintBox1MouseMove(Qt::MouseButtons buttons, QPoint position) {
    ILUPEX* viewer = Viewer();
    if (viewer == nullptr) {
        return;
    }
    try {
        main_.Core().Model()->Markers()[0].position = static_cast<float>(cursor_);
        const LupexRect rect = ClientRect();
        if (viewer->MouseMove(&rect, HeldButtons(buttons), Packed(position)) != 0) {
            Repaint();
        }
    } catch (...) {
    }
}

void TForm6::PaintBox1MouseDown(Qt::MouseButton button, QPoint position) {
    ILUPEX* viewer = Viewer();
    if (viewer == nullptr) {
        return;
    }
    try {
        ParameterModel& model = *main_.Core().Model();
        const int32_t n = SampleCount();
        const PreviewBlock now{model.Params().blockStart, model.Params().blockSize};
        std::optional<PreviewBlock> block;
        if (button == Qt::LeftButton) {
            block = LeftClickBlock(cursor_, now, n, model.Board().memory);
        } else if (button == Qt::RightButton) {
            block = RightClickBlock(cursor_, now, n);
        }
        if (block) {
            // The model keeps the markers of the block (start, last sample).
            model.SetBlockStart(block->start);
            model.SetBlockSize(block->size);
            // The numeric entry shows the new value when it edits the block (after
            // either click: a stale entry would put the old value back on Enter).
            EntryController* entry = main_.Core().Entry();
            if (entry != nullptr &&
                (entry->Kind() == kind::BlockStart || entry->Kind() == kind::BlockSize)) {
                entry->Refresh();
            }
        }
        const LupexRect rect = ClientRect();
        if (viewer->MouseClick(&rect, ClickedButton(button), Packed(position), kLupexModeClick) !=
            0) {
            Repaint();
        }
        Repaint();
    } catch (...) {
    }
}

void TForm6::PaintBox1DblClick() {
    ILUPEX* viewer = Viewer();
    if (viewer == nullptr) {
        return;
    }
    try {
        const LupexRect rect = ClientRect();
        if (viewer->MouseClick(&rect, kLupexButtonLeft, 0, kLupexModeWhole) != 0) {
            Repaint();
        }
    } catch (...) {
    }
}
