#pragma once

namespace Schema {

// The most characters a language's name and a speech's keywords may hold. A database
// brought in from elsewhere keeps the limits its columns had there, when they were wider.
struct TextLimits
{
    int languageName = 50;
    int keywords = 50;
};

} // namespace Schema
