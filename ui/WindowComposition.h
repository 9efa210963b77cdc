// The main window's own drawing, and what it keeps of it.
//
// The window draws four parts itself: the strips (title strip, wordmark,
// footer images), the header (panel, band, texts, header picture, the lines
// and bands below the columns, the information sign), the selection bar and
// the category buttons' faces. Every pixel of them comes from one routine:
// Draw for the first three, the button's own DrawFace for a face.
//
// What a caller may ask:
//   - Draw a part onto any DC, in client coordinates.
//   - Show parts on the window. They are shown from a back buffer where the
//     same routines drew them; only what changed is drawn into it again (the
//     decoration with the layout or the texts, the bar with its row, a face
//     with what the button shows, its place or its focus). Where nothing can
//     be kept (before the dialog has given its scene, or when the buffer
//     cannot be made), the parts are drawn straight onto the window instead
//     and each category button paints itself. The window's erase and a
//     category button's own paint are served from what is kept in the same
//     way (Erase, ShowFace).
//   - Forget what a change made stale: a new scene (texts, font, buttons)
//     forgets what it changes; the layout (LayoutMetrics, the buttons'
//     places) is checked at each show.
// Inside the dialog's layout pass (BeginPass .. EndPass) shows wait for the
// pass's end and are then made once, with the bar on the last row set.
#pragma once

#include <array>
#include <functional>

#include "framework/afxwin.h"
#include "ui/ArtworkCache.h"
#include "ui/BackBuffer.h"
#include "ui/BitmapButtonEx.h"
#include "ui/LayoutMetrics.h"

class CWindowComposition {
public:
    enum Part : unsigned {
        kStrips = 1,   // title strip, wordmark, footer images
        kHeader = 2,   // header, bands, lines, information sign
        kBar = 4,      // the selection bar with its marker
        kButtons = 8,  // the category buttons' faces
    };
    static constexpr int kCategoryButtons = 5;

    // What the window shows, as the dialog hands it over.
    struct Scene {
        CString texts[4];  // title, subtitle, category heading, contents heading
        HFONT headingFont = nullptr;
        // The category buttons shown beside the bar; null where a category is absent.
        std::array<CBitmapButtonEx*, kCategoryButtons> buttons = {};
    };

    explicit CWindowComposition(CWnd& window) : m_window(window) {}
    CWindowComposition(const CWindowComposition&) = delete;
    CWindowComposition& operator=(const CWindowComposition&) = delete;

    // Takes what the window shows from now on and forgets what the change
    // made stale: the header with other texts, a face with another button.
    // Until the first scene nothing is kept.
    void SetScene(const Scene& scene);
    // The bar's marker row (0 = top) that the bar part shows.
    void SetBarRow(int row) { m_nBarRow = row; }

    // Draws `part` (kStrips, kHeader or kBar) onto dc in client coordinates.
    void Draw(CDC& dc, Part part);

    // Shows `parts` on the window. A category button whose face is shown
    // with them has had its redraw (its readers hear of a new caption); one
    // that is not, is redrawn by its own paint.
    void Show(unsigned parts);
    // The window's erase: where the buffer holds the decoration and the bar,
    // it shows them; `eraseRest` erases the rest of the DC (clipped to it) as
    // the window would. False when nothing is kept, and the caller erases as
    // usual.
    bool Erase(CDC* pDC, const std::function<void()>& eraseRest);
    // Category button k's own paint, from the buffer when that holds its face
    // as it is now (without focus rectangle); false when it does not.
    bool ShowFace(int k, CDC& dc);

    // The dialog's layout pass. Passes nest; the end of the outermost one
    // shows what was asked inside it.
    void BeginPass() { ++m_nPassDepth; }
    void EndPass();

private:
    // Piece i of the decoration (see PiecesOf in the source).
    void DrawPiece(CDC& dc, int i);
    void DrawHeaderPanel(CDC& dc);
    void DrawBar(CDC& dc, int row);
    // Bitmap resource `id` stretched to w x h at (x, y), from the kept artwork.
    void DrawArtwork(CDC& dc, UINT id, int x, int y, int w, int h);
    // Draws `parts` straight onto the window; each category button paints itself.
    void DrawStraight(unsigned parts);
    // The buffer for the current layout, with the decoration drawn.
    bool Prepare();
    // Draws the bar and the changed category buttons' faces into the buffer;
    // returns the buttons whose face it drew (bit k).
    unsigned ComposeBarAndButtons();
    // The region of the window the parts cover (client coordinates).
    HRGN Region(unsigned parts) const;
    // After a show of the buttons: each shown face announced (and its
    // button's pending paint dropped where the face was drawn anew), every
    // other present button redrawn (not while the window is hidden: nothing
    // would be drawn).
    void FinishButtons(unsigned shownFaces, unsigned freshFaces);

    CWnd& m_window;
    Scene m_scene;
    bool m_bHasScene = false;
    CArtworkCache m_artwork;  // the decoration's bitmaps, while they are drawn from
    CBackBuffer m_backBuffer;
    int m_nBarRow = 0;
    int m_nPassDepth = 0;                       // nonzero inside a layout pass
    LayoutMetricsTable m_composedMetrics = {};  // the layout the decoration was drawn for
    unsigned m_nComposedParts = 0;              // what the buffer holds
    unsigned m_nPendingParts = 0;               // inside a layout pass: to show at its end
    unsigned m_nComposedButtons = 0;            // bit k: button k's face is in the buffer
    // What the buffer holds of the bar and of each button, to redraw only what changed.
    struct ComposedFace {
        bool drawn = false;
        CBitmapButtonEx::FaceState face;
        RECT box = {};
        bool focused = false;
    };
    ComposedFace m_composedFaces[kCategoryButtons];
    int m_nComposedBarRow = -1;
};
