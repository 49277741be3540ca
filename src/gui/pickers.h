#pragma once

#include <QDateEdit>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimeEdit>
#include <initializer_list>

namespace zorva::gui {

// Date and time pickers that tell a change made by spinning a field (buttons, arrow
// keys, wheel) from a date or time typed or set outright: only a spun field can have
// wrapped round inside its own range.
//
// What is typed replaces the whole date or time, rather than the one field under the
// cursor: the digits and separators typed are gathered, and as soon as they read as a
// whole date or time it is taken. Enter takes what reads so far, Escape drops it.
template <class Base, class Value> class SpinPicker : public Base {
  public:
    using Base::Base;
    bool Spinning() const { return spinning_; }
    void stepBy(int steps) override {
        typed_.clear();
        spinning_ = true;
        Base::stepBy(steps);
        spinning_ = false;
    }

  protected:
    // The value the typed text stands for, when it is a whole one.
    virtual Value Parse(const QString& typed) const = 0;
    // The value the typed text stands for when Enter ends it, which may leave out what
    // typing on could still add (the seconds).
    virtual Value ParseEnded(const QString& typed) const { return Parse(typed); }
    virtual void Take(const Value& value) = 0;

    void keyPressEvent(QKeyEvent* event) override {
        const QString text = event->text();
        const bool typing = text.size() == 1 && (text[0].isDigit() || IsSeparator(text[0]));
        if (typing) {
            typed_ += text;
            this->lineEdit()->setText(typed_);
            if (const Value v = Parse(typed_); v.isValid()) Finish(v);
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
                if (const Value v = ParseEnded(typed_); v.isValid()) Finish(v);
                Drop();
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
        if (!typed_.isEmpty()) Drop();
        Base::focusOutEvent(event);
    }

  private:
    static bool IsSeparator(QChar c) {
        return c == ':' || c == '/' || c == '.' || c == '-' || c == ' ';
    }
    void Finish(const Value& v) {
        typed_.clear();
        Take(v);
    }
    // Typing given up: the picker shows its value again.
    void Drop() {
        typed_.clear();
        this->lineEdit()->setText(this->textFromDateTime(this->dateTime()));
    }

    bool spinning_ = false;
    QString typed_; // what has been typed since the value was last taken
};

class TimePickerEdit final : public SpinPicker<QTimeEdit, QTime> {
  public:
    using SpinPicker::SpinPicker;

  protected:
    // Hours, minutes and seconds, with colons or without ("18:56:00", "185600").
    QTime Parse(const QString& typed) const override {
        for (const char* format : {"H:mm:ss", "HHmmss"}) {
            const QTime t = QTime::fromString(typed, QString::fromLatin1(format));
            if (t.isValid()) return t;
        }
        return QTime();
    }
    void Take(const QTime& t) override { setTime(t); }
};

class DatePickerEdit final : public SpinPicker<QDateEdit, QDate> {
  public:
    using SpinPicker::SpinPicker;

  protected:
    // Day, month and a four-digit year ("15/03/2024", "15.03.2024"), or the year first
    // ("2024-03-15").
    QDate Parse(const QString& typed) const override {
        for (const char* format : {"d/M/yyyy", "d.M.yyyy", "d-M-yyyy", "d M yyyy", "yyyy-M-d"}) {
            const QDate d = QDate::fromString(typed, QString::fromLatin1(format));
            if (d.isValid() && typed.size() >= 8) return d;
        }
        return QDate();
    }
    void Take(const QDate& d) override { setDate(d); }
};

// A date and time in UT, typed whole as the separate pickers take theirs: the year first
// ("2011-11-20 01:30:00") or the day first ("20/11/2011 01:30:00", "20.11.2011 01:30:00").
// Enter takes it without the seconds too ("2011-11-20 01:30").
class DateTimePickerEdit final : public SpinPicker<QDateTimeEdit, QDateTime> {
  public:
    using SpinPicker::SpinPicker;

  protected:
    QDateTime Parse(const QString& typed) const override {
        return Read(typed, {"yyyy-M-d H:mm:ss", "d/M/yyyy H:mm:ss", "d.M.yyyy H:mm:ss"});
    }
    QDateTime ParseEnded(const QString& typed) const override {
        return Read(typed, {"yyyy-M-d H:mm:ss", "d/M/yyyy H:mm:ss", "d.M.yyyy H:mm:ss",
                            "yyyy-M-d H:mm", "d/M/yyyy H:mm", "d.M.yyyy H:mm"});
    }
    void Take(const QDateTime& t) override { setDateTime(t); }

  private:
    // Spaces run together are one; the minutes and seconds have two digits each, so that
    // "01:30:0" is not yet taken for 01:30:00.
    static QDateTime Read(const QString& typed, std::initializer_list<const char*> formats) {
        const QString text = typed.simplified();
        for (const char* format : formats) {
            QDateTime t = QDateTime::fromString(text, QString::fromLatin1(format));
            if (!t.isValid()) continue;
            t = QDateTime(t.date(), t.time(), Qt::UTC);
            if (text.size() >= 14) return t;
        }
        return QDateTime();
    }
};

} // namespace zorva::gui
