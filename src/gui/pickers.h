#pragma once

#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimeEdit>
#include <functional>

namespace zorva::gui {

// Date and time pickers that tell a change made by spinning a field (buttons, arrow
// keys, wheel) from a date or time typed or set outright: only a spun field can have
// wrapped round inside its own range.
//
// What is typed replaces the whole date or time, rather than the one field under the
// cursor: the characters typed are gathered, and as soon as they read as a whole date or
// time it is taken. Enter, or the focus leaving, takes what reads so far; a text that
// cannot be read stays in the box in red, with the reason in its hint and said through
// `refused`, and changes nothing. Escape, or a spin, gives the value in use back.
template <class Base> class SpinPicker : public Base {
  public:
    using Base::Base;
    bool Spinning() const { return spinning_; }
    void stepBy(int steps) override {
        Drop();
        spinning_ = true;
        Base::stepBy(steps);
        spinning_ = false;
    }
    // Told the reason when a typed text is refused.
    std::function<void(const QString&)> refused;

  protected:
    // Whether a character typed belongs to what the picker reads.
    virtual bool Takes(QChar c) const = 0;
    // Takes the typed text when it reads: `ending` when nothing more is to come, else only a
    // text that nothing more could follow. True when it was taken.
    virtual bool TakeTyped(const QString& typed, bool ending) = 0;
    virtual QString RefusalText(const QString& typed) const = 0;

    void keyPressEvent(QKeyEvent* event) override {
        const QString text = event->text();
        if (text.size() == 1 && Takes(text[0])) {
            typed_ += text;
            this->lineEdit()->setText(typed_);
            Mark(QString());
            if (TakeTyped(typed_, false)) typed_.clear();
            return;
        }
        if (!typed_.isEmpty()) {
            switch (event->key()) {
            case Qt::Key_Backspace:
                typed_.chop(1);
                this->lineEdit()->setText(typed_);
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                End();
                return;
            case Qt::Key_Escape:
                Drop();
                return;
            default:
                break;
            }
        }
        Base::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        const QString kept = typed_;
        Base::focusOutEvent(event);
        if (kept.isEmpty()) return;
        typed_ = kept;
        End();
    }

  private:
    // Typing ends: the text is taken, or stays in red with the reason.
    void End() {
        if (TakeTyped(typed_, true)) {
            typed_.clear();
            Mark(QString());
            return;
        }
        this->lineEdit()->setText(typed_);
        const QString why = RefusalText(typed_);
        Mark(why);
        if (refused) refused(why);
    }
    // Typing given up: the picker shows its value again.
    void Drop() {
        const bool typing = !typed_.isEmpty();
        typed_.clear();
        Mark(QString());
        if (typing) this->lineEdit()->setText(this->textFromDateTime(this->dateTime()));
    }
    // Red with the reason as its hint, or as it was.
    void Mark(const QString& why) {
        QPalette palette = this->lineEdit()->palette();
        const QColor colour = why.isEmpty() ? this->palette().color(QPalette::Text) : Qt::red;
        if (palette.color(QPalette::Text) != colour) {
            palette.setColor(QPalette::Text, colour);
            this->lineEdit()->setPalette(palette);
        }
        if (this->toolTip() != why) this->setToolTip(why);
    }

    bool spinning_ = false;
    QString typed_; // what has been typed since the value was last taken
};

class TimePickerEdit final : public SpinPicker<QTimeEdit> {
  public:
    using SpinPicker::SpinPicker;

  protected:
    bool Takes(QChar c) const override { return c.isDigit() || c == ':' || c == '.'; }
    // Hours, minutes and seconds, with colons or without ("18:56:00", "185600").
    bool TakeTyped(const QString& typed, bool) override {
        for (const char* format : {"H:mm:ss", "HHmmss"}) {
            const QTime t = QTime::fromString(typed, QString::fromLatin1(format));
            if (t.isValid()) {
                setTime(t);
                return true;
            }
        }
        return false;
    }
    QString RefusalText(const QString& typed) const override {
        return QStringLiteral("\"%1\" is no time: type it as 18:56:00 or 185600; the time stays "
                              "as it was")
            .arg(typed);
    }
};

// The date box: what it reads is core's ReadTypedDate. A date with a time is handed to
// `instant`, a date alone set as the picker's.
class DatePickerEdit final : public SpinPicker<QDateEdit> {
  public:
    using SpinPicker::SpinPicker;
    std::function<void(QDate, QTime)> instant;

  protected:
    bool Takes(QChar c) const override {
        return c.isLetterOrNumber() || c == ':' || c == '/' || c == '.' || c == '-' || c == ' ' ||
               c == ',';
    }
    bool TakeTyped(const QString& typed, bool ending) override;
    QString RefusalText(const QString& typed) const override;
};

} // namespace zorva::gui
