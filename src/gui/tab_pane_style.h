// The frame of the main window's tab pages. The window's tab widget reaches
// the window's left, right and bottom edges; the common style draws a
// shadow line below the pane's outline, which there shows as a stray strip
// along the window's bottom edge. This style draws the pane's outline on the
// widget's last row instead, as on its left and right edges, and leaves
// everything else to the application's style.

#ifndef VELLORA_GUI_TAB_PANE_STYLE_H_
#define VELLORA_GUI_TAB_PANE_STYLE_H_

class QTabWidget;

namespace vellora {

// Gives `tabs` the edge-to-edge pane frame; the style belongs to `tabs`.
void UseEdgeToEdgePane(QTabWidget* tabs);

}  // namespace vellora

#endif  // VELLORA_GUI_TAB_PANE_STYLE_H_
