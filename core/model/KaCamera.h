#pragma once

#include "TarvisExport.h"
#include "foundation/KaListHeader.h"
#include "foundation/KaObject.h"
#include "foundation/String.h"

#include <iosfwd>

class KaPoint;
class KaPointList;
class KaReaderObject;

// The interior orientation of a camera: camera constant, principal point and a
// two-term radial distortion. The identifier is the camera number (0: no
// camera), the name is the info text.
class TARVIS_API KaCamera : public KaListnode, public KaFlag {
public:
    KaCamera() = default;
    // A null info reads as the empty text.
    KaCamera(unsigned int id, double C, double Xh, double Yh, double A1, double A2, double R0,
             char const* info);
    // Copies everything but the list links.
    KaCamera(KaCamera const& other) = default;
    // Reads one camera record; see Read.
    explicit KaCamera(KaReaderObject* object);
    // Copies number, info text and the six values; the flag word stays.
    KaCamera& operator=(KaCamera const& other);
    ~KaCamera() override;

    void Set(KaCamera const& other) { *this = other; }
    void Set(unsigned int id, double C, double Xh, double Yh, double A1, double A2, double R0,
             char const* info);
    // info, when not null, receives the info text; the caller provides room for it.
    void Get(unsigned int& id, double& C, double& Xh, double& Yh, double& A1, double& A2, double& R0,
             char* info) const;

    double GetC() const { return m_C; }
    double GetXh() const { return m_Xh; }
    double GetYh() const { return m_Yh; }
    double GetA1() const { return m_A1; }
    double GetA2() const { return m_A2; }
    double GetR0() const { return m_R0; }
    String const& GetInfo() const { return GetName(); }
    double SetC(double value) { return m_C = value; }
    double SetXh(double value) { return m_Xh = value; }
    double SetYh(double value) { return m_Yh = value; }
    double SetA1(double value) { return m_A1 = value; }
    double SetA2(double value) { return m_A2 = value; }
    double SetR0(double value) { return m_R0 = value; }

    bool IsValid() const { return GetId() != 0 && m_C != 0.0; }

    // Relative radial distortion A1 (r^2 - R0^2) + A2 (r^4 - R0^4) at (x, y).
    double Calcd(double x, double y) const;
    // The same from r = |(x, y)|; exactly 0 at r = 0.
    double Calcdr(double x, double y) const;

    // Removes the distortion from image coordinates (mm, relative to the fiducial
    // centre). The result is reduced to the principal point. A camera numbered 0
    // changes nothing and returns false.
    bool Adjust(double* x, double* y) const;
    bool Adjust(KaPoint* point) const;
    // Every point; false only for a missing list.
    bool Adjust(KaPointList* list) const;

    // Adds the distortion back by fixed-point iteration (at most 25 steps). On
    // failure to converge the coordinates stay as they were and the result is false.
    bool InvAdjust(double* x, double* y) const;
    bool InvAdjust(KaPoint* point) const;
    // Every point, ignoring single failures; false only for a missing list.
    bool InvAdjust(KaPointList* list) const;

    // This camera or the next (previous) one in its list whose flag word has any bit of mask.
    KaCamera* First(int mask);
    KaCamera* Next(int mask) const;
    KaCamera* Previous(int mask) const;
    KaCamera* Next() const { return static_cast<KaCamera*>(KaListnode::Next()); }
    KaCamera* Previous() const { return static_cast<KaCamera*>(KaListnode::Previous()); }

    // A reader handler: number, C, Xh, Yh, A1, A2, R0 and the quoted info text,
    // moving on after each. C is kept as its absolute value. When the record
    // breaks off, the camera stays as it was and the parser status is thrown on.
    int Read(KaReaderObject* object);
    // The record with precision 8 (which stays set on the stream): number in a
    // column of 4, the six values in columns of 18, the info text in quotes.
    void Write(std::ostream& os) const;
    // The exchange layout: number, |C| and the five other values in columns of 16;
    // no info text.
    void WriteGentriFormat(std::ostream& os) const;

private:
    double m_C = 0.0;
    double m_Xh = 0.0;
    double m_Yh = 0.0;
    double m_A1 = 0.0;
    double m_A2 = 0.0;
    double m_R0 = 0.0;
};

// The camera catalogue: an owning list of cameras and its file.
class TARVIS_API KaCameraList : public TKaListHeader<KaCamera> {
public:
    KaCameraList() = default;
    // Reads one camera block, as Read.
    explicit KaCameraList(KaReaderObject* object);
    // Reads the camera file, as ReadFile.
    explicit KaCameraList(char const* filename);
    KaCameraList(KaCameraList const& other) = default;
    using TKaListHeader<KaCamera>::operator=;
    KaCameraList& operator=(KaCameraList const& other);
    ~KaCameraList() override;

    // Reads one camera record and appends the camera; returns it. A record that
    // breaks off adds nothing and the parser status is thrown on.
    KaCamera* AddCamera(KaReaderObject* object);
    // A reader handler for "{" and a camera record; the closing brace is left to
    // the reader. Returns 1.
    int Read(KaReaderObject* object);
    // Appends the cameras of a camera file to the list. Returns 1, also when the
    // file cannot be read (the list then stays as it was).
    int ReadFile(char const* name);

    // Every camera as one line "{ record }".
    void Write(std::ostream& os) const;
    // The six comment lines that begin a camera file.
    static void WriteHeaderComment(std::ostream& os);
    // Writes the camera file (header and camera lines) or, with gentri, the
    // exchange layout (one camera a line, no header). The file is written under a
    // temporary name in the same folder and renamed into place, so a failed write
    // leaves the old file as it was. Returns 1, or 0 when the file cannot be written.
    int WriteFile(String const& name, bool gentri = false) const;

    // Among the cameras whose info text contains text (case-sensitive), the one
    // whose C is closest to c; the one nearer the head on equal distance. Null
    // when no info text matches.
    KaCamera* FindBestMatch(String const& text, double c) const;
};
