#pragma once

// How a started program shows its window, with the numbers Windows programs know them by.
enum class WindowStyle { MinimizedFocus = 2, MaximizedFocus = 3 };

// A message box's icon; every box has one button, OK.
enum class BoxStyle { Critical, Exclamation };
