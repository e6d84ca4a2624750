#include "geometry/KaScanLine.h"

#include "geometry/KaPolygon.h"
#include "model/KaPoint.h"
#include "runtime/KaLogger.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace {

constexpr double InitialXMin = DBL_MAX;
constexpr double InitialXMax = DBL_MIN;

void PrintEntries(std::FILE* file, long index, EdgeTableEntry const* head) {
    std::fprintf(file, "%3ld  - ", index);
    for (EdgeTableEntry const* e = head; e; e = e->next)
        std::fprintf(file, " %3d  % 6.3lf % 6.3lf |", e->iYmax, e->dXmin, e->d1m);
    std::fprintf(file, "\n");
}

char const* const FormatLine = "Format: iYmax, dXmin, d1m\n";

} // namespace

// ---------------------------------------------------------------------------
// EdgeTableEntry

void EdgeTableEntry::init() {
    iYmax = 0;
    dXmin = 0.0;
    d1m = 0.0;
    next = nullptr;
}

EdgeTableEntry* EdgeTableEntry::Insert(EdgeTableEntry* head, EdgeTableEntry* e) {
    if (!e)
        return head;
    if (!head || head->ShouldInsert(e)) {
        e->next = head;
        return e;
    }
    EdgeTableEntry* at = head;
    while (at->next && !at->next->ShouldInsert(e))
        at = at->next;
    e->next = at->next;
    at->next = e;
    return head;
}

EdgeTableEntry* EdgeTableEntry::Sort(EdgeTableEntry* head) {
    if (!head)
        return nullptr;
    EdgeTableEntry* previous = head;
    while (EdgeTableEntry* e = previous->next) {
        if (e->dXmin < previous->dXmin) {
            previous->next = e->next;
            e->next = nullptr;
            head = Insert(head, e);
        } else {
            previous = e;
        }
    }
    return head;
}

EdgeTableEntry* EdgeTableEntry::AddToAll_1m(EdgeTableEntry* head) {
    for (EdgeTableEntry* e = head; e; e = e->next)
        e->dXmin += e->d1m;
    return Sort(head);
}

EdgeTableEntry* EdgeTableEntry::InsertList(EdgeTableEntry* head, EdgeTableEntry* list) {
    if (!head)
        return Sort(list);
    EdgeTableEntry* last = head;
    while (last->next)
        last = last->next;
    last->next = list;
    return Sort(head);
}

EdgeTableEntry* EdgeTableEntry::DeleteAll(EdgeTableEntry* head, int y) {
    EdgeTableEntry** link = &head;
    while (EdgeTableEntry* e = *link) {
        if (e->iYmax == y) {
            *link = e->next;
            delete e;
        } else {
            link = &e->next;
        }
    }
    return head;
}

EdgeTableEntry* EdgeTableEntry::CopyList(EdgeTableEntry const* head) {
    EdgeTableEntry* copy = nullptr;
    EdgeTableEntry** tail = &copy;
    for (EdgeTableEntry const* e = head; e; e = e->next) {
        *tail = new EdgeTableEntry(e->iYmax, e->dXmin, e->d1m);
        tail = &(*tail)->next;
    }
    return copy;
}

void EdgeTableEntry::DeleteList(EdgeTableEntry* head) {
    while (head) {
        EdgeTableEntry* next = head->next;
        delete head;
        head = next;
    }
}

int EdgeTableEntry::Count(EdgeTableEntry const* head) {
    int count = 0;
    for (; head; head = head->next)
        ++count;
    return count;
}

// ---------------------------------------------------------------------------
// KaScanLine

KaScanLine::KaScanLine(KaPolygon* p, int n, double start, double end)
    : polygon(p), lines(n < 1 ? 1 : (n == INT_MAX ? INT_MAX - 1 : n)), yStart(start), yEnd(end),
      xMin(InitialXMin), xMax(InitialXMax) {
    step = (yEnd - yStart) / lines;
    CreateEdgeTable();
}

KaScanLine::KaScanLine(KaScanLine const& other)
    : polygon(other.polygon), lines(other.lines), step(other.step), yStart(other.yStart), yEnd(other.yEnd),
      normalClipping(other.normalClipping), xMin(other.xMin), xMax(other.xMax), line(other.line), y(other.y),
      x1(other.x1), x2(other.x2) {
    CopyTables(other);
}

KaScanLine& KaScanLine::operator=(KaScanLine const& other) {
    if (this == &other)
        return *this;
    FreeTables();
    polygon = other.polygon;
    lines = other.lines;
    step = other.step;
    yStart = other.yStart;
    yEnd = other.yEnd;
    normalClipping = other.normalClipping;
    xMin = other.xMin;
    xMax = other.xMax;
    line = other.line;
    y = other.y;
    x1 = other.x1;
    x2 = other.x2;
    CopyTables(other);
    return *this;
}

KaScanLine::~KaScanLine() {
    FreeTables();
}

void KaScanLine::FreeTables() {
    for (EdgeTableEntry*& head : edgeTable) {
        EdgeTableEntry::DeleteList(head);
        head = nullptr;
    }
    edgeTable.clear();
    EdgeTableEntry::DeleteList(activeEdges);
    activeEdges = nullptr;
}

void KaScanLine::CopyTables(KaScanLine const& other) {
    // Fill a local table first: a failing allocation must not leave lists that
    // belong to nobody.
    std::vector<EdgeTableEntry*> table(other.edgeTable.size(), nullptr);
    try {
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = EdgeTableEntry::CopyList(other.edgeTable[i]);
        activeEdges = EdgeTableEntry::CopyList(other.activeEdges);
    } catch (...) {
        for (EdgeTableEntry* head : table)
            EdgeTableEntry::DeleteList(head);
        throw;
    }
    edgeTable = std::move(table);
}

void KaScanLine::init() {
    FreeTables();
    normalClipping = true;
    xMin = InitialXMin;
    xMax = InitialXMax;
}

EdgeTableEntry const* KaScanLine::GetEdgeList(int i) const {
    return i >= 0 && static_cast<size_t>(i) < edgeTable.size() ? edgeTable[static_cast<size_t>(i)] : nullptr;
}

bool KaScanLine::CreateEdgeTable() {
    FreeTables();
    edgeTable.assign(static_cast<size_t>(lines) + 1, nullptr);
    if (!polygon || polygon->Count() == 0)
        return false;

    std::vector<KaPoint const*> vertices;
    for (KaPoint const* p = polygon->First(); p; p = p->Next())
        vertices.push_back(p);
    size_t const count = vertices.size();
    xMin = xMax = vertices.front()->x;

    for (size_t k = 0; k < count; ++k) {
        KaPoint const& v = *vertices[k];
        KaPoint const& w = *vertices[(k + 1) % count];
        KaPoint const& beforeV = *vertices[(k + count - 1) % count];
        KaPoint const& afterW = *vertices[(k + 2) % count];
        if (v.x < xMin)
            xMin = v.x;
        if (v.x > xMax)
            xMax = v.x;
        // The lower end is the one met first by the lines; v when both are level.
        bool const lowerIsV = !Before(w.y, v.y);
        KaPoint const& lower = lowerIsV ? v : w;
        KaPoint const& upper = lowerIsV ? w : v;
        // Where the outline comes down to the lower end from the far side and
        // goes on up through this edge, the other edge already holds that line.
        double const neighbourY = lowerIsV ? beforeV.y : afterW.y;
        AddEdge(lower, upper, Before(neighbourY, lower.y));
    }
    return true;
}

void KaScanLine::AddEdge(KaPoint const& lower, KaPoint const& upper, bool startLater) {
    // A band of no height, or of no finite height, has no lines to fill.
    if (!(step != 0.0) || !std::isfinite(step))
        return;
    double const tLower = (lower.y - yStart) / step;
    double const tUpper = (upper.y - yStart) / step;
    if (!std::isfinite(tLower) || !std::isfinite(tUpper))
        return;

    double first = std::trunc(tLower);
    double const f = first - tLower;
    double const dy = upper.y - lower.y;
    double const slope = std::fabs(step) >= std::fabs(dy) ? 0.0 : (upper.x - lower.x) / dy * step;
    double last = std::trunc(tUpper);
    double x = lower.x + f * slope;
    if (startLater) {
        first += 1.0;
        x += slope;
    }
    if (last < first || last < 0.0 || first > lines)
        return;
    // Clip to the band: lines below 0 and above `lines` have no slot.
    if (first < 0.0) {
        x += -first * slope;
        first = 0.0;
    }
    if (last > lines)
        last = lines;

    auto* entry = new EdgeTableEntry(static_cast<int>(last), x, slope);
    EdgeTableEntry*& head = edgeTable[static_cast<size_t>(first)];
    head = EdgeTableEntry::Insert(head, entry);
}

bool KaScanLine::Process() {
    EdgeTableEntry::DeleteList(activeEdges);
    activeEdges = nullptr;

    int index = 0;
    int const slots = static_cast<int>(edgeTable.size());
    while (index < slots && !edgeTable[static_cast<size_t>(index)])
        ++index;
    if (index >= slots)
        return false;

    // The table is copied into the active list line by line, so it stays for
    // another run.
    for (; index < slots; ++index) {
        line = index;
        y = yStart + index * step;
        if (EdgeTableEntry const* starting = edgeTable[static_cast<size_t>(index)])
            activeEdges = EdgeTableEntry::InsertList(activeEdges, EdgeTableEntry::CopyList(starting));
        if (!activeEdges)
            continue;
        line = index - 1;
        if (normalClipping) {
            for (EdgeTableEntry const* e = activeEdges; e && e->next; e = e->next->next) {
                x1 = e->dXmin - 0.5;
                x2 = e->next->dXmin + 0.5;
                Callback_Line();
            }
        } else {
            x1 = xMin;
            x2 = xMax;
            Callback_Line();
        }
        line = index;
        activeEdges = EdgeTableEntry::DeleteAll(activeEdges, index);
        activeEdges = EdgeTableEntry::AddToAll_1m(activeEdges);
    }
    EdgeTableEntry::DeleteList(activeEdges);
    activeEdges = nullptr;
    line = index;
    y = yStart + index * step;
    return true;
}

bool KaScanLine::Callback_Line() {
    return true;
}

bool KaScanLine::PrintET() const {
    std::FILE* file = std::fopen(KaLogFilePath("etprnt.log").c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file, "Edge Table Entrys\n");
    std::fprintf(file, "%s", FormatLine);
    for (size_t i = 0; i < edgeTable.size(); ++i)
        PrintEntries(file, static_cast<long>(i), edgeTable[i]);
    bool ok = std::fclose(file) == 0;

    file = std::fopen(KaLogFilePath("aetprnt.log").c_str(), "w");
    if (!file)
        return false;
    std::fprintf(file, "Scan Line Conversation\n");
    std::fprintf(file, "%s", FormatLine);
    return std::fclose(file) == 0 && ok;
}

bool KaScanLine::PrintAET() const {
    std::FILE* file = std::fopen(KaLogFilePath("aetprnt.log").c_str(), "a");
    if (!file)
        return false;
    PrintEntries(file, line, activeEdges);
    return std::fclose(file) == 0;
}
