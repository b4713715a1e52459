// What a page needs from the window that holds it: the main window
// implements this so that the options page can reach the scanner page.
#pragma once

class CScannerDlg;

class CPageOwner {
public:
    // The scanner page, or null while there is none.
    virtual CScannerDlg* GetScannerPage() = 0;
    // The scanner page entered or left its large view. An owner that scans
    // follows the large view's network with scans of its channel alone.
    virtual void LargeViewChanged() { }

protected:
    ~CPageOwner() = default;
};
