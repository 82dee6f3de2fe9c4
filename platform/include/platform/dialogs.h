// Modal forms of the control (the about box), shown by a dialog service.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

/// A form's content and behaviour, apart from how it is drawn: its labels and the
/// buttons a user can press. The service shows it until it unloads itself.
class ModalForm {
public:
    virtual ~ModalForm() = default;
    virtual std::string_view Name() const = 0;
    virtual std::string_view Caption() const = 0;
    /// Called once when the form is shown (Form_Load).
    virtual void Load() = 0;
    /// The shown texts by control name, e.g. ("lblVersion", "Version 1.0.0").
    virtual std::vector<std::pair<std::string, std::string>> Labels() const = 0;
    /// The buttons by control name and caption.
    virtual std::vector<std::pair<std::string, std::string>> Buttons() const = 0;
    /// Runs the click of a button; unknown names do nothing.
    virtual void Click(std::string_view button) = 0;
    virtual bool Unloaded() const = 0;
    /// The form is closed from outside (its window's close box).
    virtual void Close() = 0;
};

/// Where forms appear: the real desktop, or a headless stand-in.
class DialogService {
public:
    virtual ~DialogService() = default;
    /// Shows `form` centred on the screen and returns when it has unloaded.
    virtual void ShowModal(ModalForm& form) = 0;
};

} // namespace platform
