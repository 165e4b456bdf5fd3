// One item of the work bench's tree, and what every view opener of the main frame takes.
#pragma once

#include <string>

class CDocument;

struct WorkBenchItem {
    int m_nKind = 0;                  // 0 a document, 1 an image
    CDocument* m_pDoc = nullptr;      // may have closed since: check with the document manager
    int m_nImage = 0;                 // the number given to frames opened from the item
    std::string m_strItemName;        // the image's name (not read for documents)
};
