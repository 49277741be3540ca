#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/record/observation.h"

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace zorva::gui {

class Dialogs;

// Who observed, where and with what: what the form offers to begin with, and what the
// observer gave.
struct ObservationDetails {
    std::string observer, site, instrument;
};

// The form of an observation going into the record: counts typed at the eyepiece (Record >
// Add Visual Observation...), or a picture's counts as found, to which the observer adds the
// details and may correct a group's class (Record > Add This Picture). Taking it checks the
// observation as the record does and adds it; what cannot be added is said, and the form
// stays open with everything as typed.
class ObservationDialog final : public QDialog {
    Q_OBJECT
  public:
    // Adds an observation to the record: empty when added, else why not.
    using Adder = std::function<std::string(const SunspotObservation&)>;

    // Counts typed, at `instant` to begin with; `l0Of` gives the central meridian's Carrington
    // longitude at an instant, for places typed as N14W23.
    ObservationDialog(QWidget* parent, Dialogs& dialogs, const Instant& instant,
                      const ObservationDetails& details, const CalendarDay& today,
                      std::function<double(const Instant&)> l0Of, Adder add);
    // A picture's observation.
    ObservationDialog(QWidget* parent, Dialogs& dialogs, SunspotObservation picture,
                      const ObservationDetails& details, const CalendarDay& today, Adder add);

    // The observation added, once it is.
    const std::optional<SunspotObservation>& Added() const { return added_; }
    ObservationDetails Details() const;

    void accept() override;

  private:
    void Build(const Instant& instant, const ObservationDetails& details);
    void BuildGroups();
    void AddGroupRow();
    void ShowWolf();
    // The observation the form holds, or why there is none.
    std::optional<SunspotObservation> Read(std::string& problem) const;
    void Refuse(const std::string& problem);

    Dialogs& dialogs_;
    bool typed_;
    std::optional<SunspotObservation> picture_; // the picture's counts, as found
    CalendarDay today_;
    std::function<double(const Instant&)> l0Of_;
    Adder add_;
    std::optional<SunspotObservation> added_;

    QDateTimeEdit* instant_ = nullptr;
    QComboBox* method_ = nullptr;
    QLineEdit *observer_ = nullptr, *site_ = nullptr, *instrument_ = nullptr;
    QComboBox* seeing_ = nullptr;
    QSpinBox *northGroups_ = nullptr, *northSpots_ = nullptr, *southGroups_ = nullptr,
             *southSpots_ = nullptr;
    QLineEdit* wolf_ = nullptr;
    QLabel* wolfLabel_ = nullptr;
    QTableWidget* groups_ = nullptr;
};

} // namespace zorva::gui
