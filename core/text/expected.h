#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace lv {

// What went wrong, as far as it matters for how the user is told: the window gives each kind
// its own title and icon.
enum class ErrorKind {
    InputCheck,   // a value of the input that cannot be computed
    NoSegments,   // a run without any segment
    InvalidYear,  // a calculation year the workbooks hold no data for
    LabelWarning, // a driving-profile sheet whose label cell lacks "Körprofil"; the run goes on
    Workbook,     // a workbook that cannot be read or lacks what the calculation needs
    InputFile,    // the content of an input data file
    File,         // a file that cannot be read or written, or a text a file cannot hold
    Printer,      // a report the printer did not take
};

// The one value of the input a fault is in, so that the window can take the user there.
enum class FaultField {
    None,
    Year,
    Sps,
    StuddedShare,
    SegmentNumber,
    SegmentCell, // Error::cell says which (input::SegmentRow::Cell)
    StretchStart,
    StretchStop,
};

// A failure the user is shown: its kind and the message, already in the user's words
// (Swedish), and where it is when that is one field.
struct Error
{
    ErrorKind kind;
    QString message;
    FaultField field = FaultField::None;
    int cell = -1;

    // The same failure: where it points is no part of what it is.
    bool operator==(const Error &other) const
    {
        return kind == other.kind && message == other.message;
    }
};

// A value or the error that prevented it. The core returns these; only the window or the
// batch tool decides how a failure is shown.
template <class T>
class Expected
{
public:
    Expected(T value) : m_data(std::in_place_index<0>, std::move(value)) {}
    Expected(Error error) : m_data(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T &value() & { return std::get<0>(m_data); }
    const T &value() const & { return std::get<0>(m_data); }
    T &&value() && { return std::get<0>(std::move(m_data)); }
    T &operator*() & { return value(); }
    const T &operator*() const & { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }

    const Error &error() const { return std::get<1>(m_data); }

private:
    std::variant<T, Error> m_data;
};

// Success without a value, or the error.
template <>
class Expected<void>
{
public:
    Expected() = default;
    Expected(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error &error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

} // namespace lv
