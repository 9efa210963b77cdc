// The main window's own drawing, and the back buffer it is shown from.
//
// The window draws some of its parts itself: the strips (title strip,
// wordmark, footer images), the header (panel, band, texts, header picture,
// the lines and bands below the columns, the information sign), the
// selection bar and the category buttons' faces. Each part has one drawing
// routine here, onto any DC in client coordinates; a paint either shows the
// part from the back buffer, where the same routine drew it, or, when there
// is no buffer, the dialog draws it straight onto the window with that same
// routine. Only what changed is drawn into the buffer again: the strips and
// the header with the layout or the texts, the bar with its row, a button's
// face with what it shows.
//
// Inside the dialog's layout pass nothing is shown until the pass ends, and
// the selection bar's row is the last one asked for.
#pragma once

#include <climits>
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
        kButtons = 8,  // the present category buttons' faces
    };
    static constexpr int kStripCount = 4;

    // What the window shows, as its owner keeps it; read at every drawing.
    struct Scene {
        CWnd* window = nullptr;
        const CString* texts[4] = {};  // title, subtitle, category heading, contents heading
        CFont* const* headingFont = nullptr;
        CBitmapButtonEx* buttons = nullptr;  // the five category buttons
        const int* present = nullptr;        // per category: its button is shown
        const int* layoutReady = nullptr;    // nonzero once the window is laid out
    };

    explicit CWindowComposition(const Scene& scene) : m_scene(scene) {}
    CWindowComposition(const CWindowComposition&) = delete;
    CWindowComposition& operator=(const CWindowComposition&) = delete;

    // --- The drawing routines, onto any DC in client coordinates -----------
    // Strip i (0 .. kStripCount - 1), stretched to its box.
    void DrawStrip(CDC& dc, int i);
    void DrawHeader(CDC& dc);
    // The bar with its marker at `row`.
    void DrawBar(CDC& dc, int row);
    // Bitmap resource `id` stretched to w x h at (x, y), from the kept artwork.
    void DrawArtwork(CDC& dc, UINT id, int x, int y, int w, int h);

    // --- Showing -------------------------------------------------------------
    // Shows `parts` from the back buffer (inside a layout pass: at its end);
    // false when there is no buffer, and the caller draws straight onto the
    // window.
    bool Show(unsigned parts);
    // Shows what a layout pass left to show, if anything.
    void ShowPending();
    // The bar's marker row that the bar part shows.
    void SetBarRow(int row) { m_nBarRow = row; }
    // After Show(kButtons): bit k is set when button k's face was shown with it.
    unsigned ShownButtons() const { return m_nComposedButtons; }
    // Serves category button k's own paint from the buffer when it holds the
    // button's face as it is now (without focus rectangle).
    bool ServeButtonPaint(int k, CDC& dc);
    // The window's erase: where the buffer holds the decoration and the bar,
    // it shows them; `eraseRest` erases the rest of the DC (clipped to it) as
    // the window would. False when the buffer serves nothing and the caller
    // erases as usual.
    bool Erase(CDC* pDC, const std::function<void()>& eraseRest);

    // --- The layout pass -----------------------------------------------------
    // While a pass runs, shows wait for its end and the bar's row is noted
    // instead of drawn. Passes nest: End restores what Begin returned.
    static constexpr int kNoPass = INT_MIN;
    int BeginPass();
    bool InPass() const { return m_nPassBarRow != kNoPass; }
    void NoteBarRow(int row) { m_nPassBarRow = row; }
    // Ends the pass; returns the bar row noted inside it (-1: none).
    int EndPass(int outer);

    // Nonzero: no buffer, every paint draws straight onto the window.
    void SetDirect(int direct) { m_bDirect = direct; }
    // Bitmaps of the artwork held (for leak checks).
    int ArtworkCount() const { return m_artwork.Count(); }

private:
    // The buffer for the current layout, with the decoration drawn.
    bool Prepare();
    // Draws the bar and the category buttons' faces into the buffer.
    void ComposeBarAndButtons();
    // The region of the window the parts cover (client coordinates).
    HRGN Region(unsigned parts) const;

    Scene m_scene;
    CArtworkCache m_artwork;  // the decoration's bitmaps, while they are drawn from
    CBackBuffer m_backBuffer;
    int m_bDirect = 0;
    int m_nBarRow = 0;
    int m_nPassBarRow = kNoPass;
    LayoutMetricsTable m_composedMetrics = {};  // the layout the decoration was drawn for
    CString m_strComposedTexts;                 // and its texts
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
    ComposedFace m_composedFaces[5];
    int m_nComposedBarRow = -1;
};
