#pragma once

// Every English text the program passes to Translator::Translate; a language
// file that translates the user interface has a line for each.
namespace sentrel {

inline constexpr const char16_t *LookedUpTexts[] = {
    // The restart question of Reset to Defaults.
    u"Restart Application?",
    u"Confirmation",
    u"Yes",
    u"No",
    // The caption of the message that lists the changed URLs.
    u"INFORMATION",
    // The feedback form.
    u"feedback",
    u"I like it!",
    u"I dislike it!",
    u"We would really appreciate your feedback.",
    u"What did you like or dislike?",
    u"Include my e-mail:",
    u"Send",
    u"Invalid e-mail address!",
    u"Failure",
    u"Your feedback is received.",
    u"Thank you!",
    u"Success",
    u"Something went wrong. Your feedback could not be delivered.",
    u"Please try again later.",
};

// Not a text of the user interface: the translators of a language file.
inline constexpr char16_t TranslatedByKey[] = u"INFO:Translated By";

} // namespace sentrel
