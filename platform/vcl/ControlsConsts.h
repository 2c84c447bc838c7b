#pragma once
// Message texts of the control and form classes.

namespace ControlsConsts {
inline constexpr const char* SParentRequired = "Control '%s' has no parent window";
inline constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
inline constexpr const char* SCannotShowModal = "Cannot make a visible window modal";
inline constexpr const char* SControlParentSetToSelf = "A control cannot have itself as its parent";
inline constexpr const char* SInvalidTabOrder = "Invalid tab order %d";
}  // namespace ControlsConsts
