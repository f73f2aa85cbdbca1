#pragma once

#include <QString>
#include <optional>

namespace orvella {

// The three texts of a written testimony, as typed.
struct TestimonyFields
{
    QString name;
    QString email;
    QString story;

    friend bool operator==(const TestimonyFields &, const TestimonyFields &) = default;
};

// The testimony draft kept in the application's settings between visits and runs, one key per
// field. A key holding "" counts as stored; nothing here removes a key.
struct TestimonyDraft
{
    std::optional<QString> name;
    std::optional<QString> email;
    std::optional<QString> story;

    // What is stored now.
    [[nodiscard]] static TestimonyDraft read();
    // Stores all three fields untrimmed, empty ones included, and writes the file at once.
    // Returns false (and warns) when the settings file could not be written.
    static bool write(const TestimonyFields &fields);
};

} // namespace orvella
