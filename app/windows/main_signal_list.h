#pragma once
// SignalList: the main window's SignalButton, a drop-down list of the eight signal
// types (item index = type) whose items show their picture and name
// (SignalListDelegate). The closed list's field shows the current item's picture
// and its name padded with blanks to 19 characters, or cut to 19.

#include <QComboBox>

inline constexpr int kSignalFieldWidth = 19; // characters of the field's text

// `name` padded with blanks or cut to kSignalFieldWidth characters.
QString SignalFieldText(const QString& name);

class SignalList final : public QComboBox {
public:
    using QComboBox::QComboBox;

    // The text the closed list shows.
    QString FieldText() const { return SignalFieldText(currentText()); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
