#include "model/KaPhoto.h"

#include "foundation/Link.h"
#include "model/KaReseauFile.h"
#include "rekt/KaRektTrafo.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string const kDataDir = TARVIS_TEST_DATA_DIR;

// Reads every "PHOTO" block of a file into a list.
struct PhotoFile : LinkHdl {
    KaPhotoList photos;
    int errors = 0;

    explicit PhotoFile(std::string const& path) {
        KaReader reader{String(path.c_str())};
        Read(reader);
    }
    PhotoFile(std::istream& in, char const* name) {
        KaReader reader(in, name);
        Read(reader);
    }
    long Add(void* arg) {
        photos.AddPhoto(static_cast<KaReaderObject*>(arg));
        return 1;
    }

private:
    void Read(KaReader& reader) {
        KaReaderObject photo("PHOTO", Link(this, &PhotoFile::Add));
        reader.RegisterObject(photo);
        reader.DoProcess(true);
        errors = reader.GetReadErrorCount();
    }
};

// The photo as the project writes it: a "PHOTO" block.
std::string PhotoBlock(KaPhoto const& photo) {
    KaWriterReset();
    std::ostringstream os;
    os << "PHOTO" << Kaendl << KaBeginBlockNL;
    photo.Write(os);
    os << KaEndBlockNL << Kaendl;
    return os.str();
}

KaReseauTrafo Trafo(eKaTrafo2DType type, std::initializer_list<double> coefficients) {
    KaReseauTrafo t;
    t.type = type;
    int i = 0;
    for (double c : coefficients)
        t.p[i++] = c;
    return t;
}

KaRektTrafo* RektTrafo(unsigned int id, bool active, KaRegion const* region) {
    auto* t = new KaRektTrafo();
    t->SetId(id);
    t->SetActive(active);
    if (region)
        t->GetRegion() = KaPolygon(*region);
    return t;
}

// A photo with every field set away from its default.
void Fill(KaPhoto& photo) {
    photo.SetName("images/p12.tif");
    photo.SetComment("Ostseite; 2. Befliegung");
    photo.SetDigPictPage(2);
    photo.SetDigPictRot(1);
    photo.SetType(KaPhotoDigital);
    photo.SetDigitizer(20);
    photo.SetFlag(PointFlagGuiCheckActive);
    photo.SetActiveFlag(0);
    photo.SetRotation(3);
    photo.SetScale(1234.5);
    photo.SetDigiRegion(KaRegion(0, 0, 6000, 4000));
    photo.SetCamera(KaCamera(4, 35.2, 0.01, -0.02, -3.2e-06, 1.5e-10, 12, "Digital 35"));
    photo.SetReseauData(KaReseauDataDesc("Kamera.dres", 3));
    photo.SetReseauPreTrafo(Trafo(KaTrafo2DHelmert, {12.5, 1.002, -7.25, 0.01}));
    photo.SetReseauMainTrafo(Trafo(KaTrafo2DPolynomial, {-100, 0.05,   0.001, 1e-8, 0,    0, 0, 0, 0, 0,
                                                         120,  0.0005, -0.05, 0,    2e-9, 0, 0, 0, 0, 0}));
    photo.SetPolyInvTrafo(Trafo(KaTrafo2DPolynomial, {2000, 20,  0.4, -1e-5, 0,    0, 0, 0, 0, 0,
                                                      2400, 0.2, -20, 0,     3e-6, 0, 0, 0, 0, 1e-9}));
    photo.SetScreenPos(KaPosition(100, 200.5));
    photo.SetScreenScale(3);
    KaRegion const region(0, 0, 10, 10);
    photo.AddRektTrafo(RektTrafo(1, true, nullptr));
    photo.AddRektTrafo(RektTrafo(2, false, &region));
    photo.AddMeasure(KaPoint(1, 5, 5), CB_NONE);
    photo.AddImo(KaPoint(1, 5, 5), CB_NONE);
}

class CountingAttribute : public KaAttribute {
public:
    using KaAttribute::KaAttribute;
    using KaAttribute::operator=;
    int added = 0;
    int subtracted = 0;
    KaPhoto* photoAtAdd = nullptr;
    int OnAdd() override {
        ++added;
        photoAtAdd = GetPhoto();
        return 1;
    }
    int OnSubtract() override {
        ++subtracted;
        EXPECT_NE(GetPhoto(), nullptr);
        return 1;
    }
};

} // namespace

TEST(KaPhoto, DefaultsAndInit) {
    KaPhoto photo(4, "a.tif");
    EXPECT_EQ(photo.GetActiveFlag(), 1);
    EXPECT_FALSE(photo.IsActive());
    EXPECT_FALSE(photo.IsExtern());
    EXPECT_TRUE(photo.IsAnalog());
    EXPECT_EQ(photo.GetDigitizerId(), 1u);
    EXPECT_EQ(photo.GetReseauTrafoType(), KaTrafo2DNone);
    EXPECT_STREQ(photo.GetReseauTrafoName(), "None");
    EXPECT_EQ(photo.GetFreeBikoId(), 1u);

    Fill(photo);
    photo.AktBikoId() = 9;
    photo.Init();
    EXPECT_EQ(photo.GetActiveFlag(), 1);
    EXPECT_EQ(photo.GetDigitizerId(), 1u);
    EXPECT_TRUE(photo.IsAnalog());
    EXPECT_EQ(photo.GetScale(), 0.0);
    EXPECT_EQ(photo.AktBikoId(), 0u);
    EXPECT_EQ(photo.CountMeasure(), 1); // Init leaves the lists alone

    KaPhoto second(5);
    EXPECT_LT(photo.Compare(&second), 0);
    EXPECT_GT(second.Compare(&photo), 0);
}

TEST(KaPhoto, CopiesNeverShareListElements) {
    KaPhoto source(12);
    Fill(source);
    KaAttribute attribute("color");
    source.AddAttribute(attribute);
    source.AktBikoId() = 4;

    KaPhoto const copy(source);
    EXPECT_EQ(copy.GetId(), 12u);
    EXPECT_STREQ(copy.GetComment().chars(), source.GetComment().chars());
    EXPECT_EQ(copy.GetReseauTrafoType(), KaTrafo2DPolynomial);
    EXPECT_EQ(copy.GetCamera().GetId(), 4u);
    EXPECT_EQ(copy.GetScreenPos().y, 200.5);
    EXPECT_EQ(copy.CountMeasure(), 0);
    EXPECT_EQ(copy.CountImo(), 0);
    EXPECT_TRUE(copy.GetRektList().IsEmpty());
    EXPECT_EQ(copy.FirstAttribute(), nullptr);

    KaPhoto target(1);
    Fill(target);
    target.AktBikoId() = 7;
    target = source;
    EXPECT_EQ(target.CountMeasure(), 0);
    EXPECT_EQ(target.CountImo(), 0);
    EXPECT_EQ(target.FirstRektTrafo(), nullptr);
    EXPECT_EQ(target.AktBikoId(), 0u);
    EXPECT_EQ(target.GetDigiRegion(), source.GetDigiRegion());
    target = target;
    EXPECT_EQ(target.GetId(), 12u);

    // A list of photos copies photos, not their points.
    KaPhotoList list;
    list.Add(new KaPhoto(source));
    list.First()->AddMeasure(KaPoint(3, 1, 1), CB_NONE);
    KaPhotoList const listCopy(list);
    EXPECT_EQ(listCopy.First()->CountMeasure(), 0);
    EXPECT_EQ(source.CountMeasure(), 1);
}

TEST(KaPhoto, MeasureAndImoPoints) {
    KaPhoto photo(3);
    // Pixels to image coordinates: 0.5 mm per pixel.
    photo.SetReseauMainTrafo(Trafo(KaTrafo2DHelmert, {0, 0.5, 0, 0}));

    EXPECT_EQ(photo.AddMeasure(nullptr, CB_PIXEL_TO_BIKO), nullptr);
    photo.AddMeasure(KaPoint(1, 10, 20), CB_PIXEL_TO_BIKO);
    photo.AddMeasure(KaPoint(2, 30, 40), CB_PIXEL_TO_BIKO);
    photo.AddMeasure(KaPoint(3, 50, 60), CB_PIXEL_TO_BIKO);
    EXPECT_EQ(photo.FindMeasure(2)->x, 15.0);
    EXPECT_EQ(photo.FindMeasure(2)->photoId, 3);
    EXPECT_EQ(photo.GetFreeBikoId(), 4u);

    // The same number replaces the old point in its place.
    KaPoint* replacement = photo.AddMeasure(new KaPoint(2, 2, 2), CB_NONE);
    EXPECT_EQ(photo.CountMeasure(), 3);
    EXPECT_EQ(photo.FirstMeasure()->Next(), replacement);
    EXPECT_EQ(photo.FindMeasure(2)->x, 2.0);

    photo.AddImo(KaPoint(7, 8, 8), CB_NONE);
    EXPECT_EQ(photo.FindImo(7)->photoId, 0);

    // A missing point changes nothing.
    EXPECT_EQ(photo.MoveImoToMeasure(8, CB_PIXEL_TO_BIKO), nullptr);
    EXPECT_EQ(photo.CountImo(), 1);
    EXPECT_EQ(photo.CountMeasure(), 3);

    KaPoint* moved = photo.MoveImoToMeasure(7, CB_PIXEL_TO_BIKO);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(photo.CountImo(), 0);
    EXPECT_EQ(photo.LastMeasure(), moved);
    EXPECT_EQ(moved->x, 4.0);
    EXPECT_EQ(moved->photoId, 3);

    KaPoint* copied = photo.CopyMeasureToImo(7, CB_NONE);
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, moved);
    EXPECT_EQ(photo.CountMeasure(), 4);
    photo.MoveMeasureToImo(1, CB_NONE);
    EXPECT_EQ(photo.CountImo(), 2);
    EXPECT_EQ(photo.CopyImoToMeasure(1, CB_PIXEL_TO_BIKO)->x, 2.5);

    // Whole lists.
    photo.CopyMeasureToImo();
    EXPECT_EQ(photo.CountImo(), 6);
    photo.MoveImoToMeasure();
    EXPECT_EQ(photo.CountImo(), 0);
    EXPECT_EQ(photo.CountMeasure(), 10);
    KaPointList outside;
    photo.CopyMeasureTo(&outside);
    photo.MoveMeasureTo(&outside);
    EXPECT_EQ(outside.Count(), 20);
    EXPECT_EQ(photo.CountMeasure(), 0);

    photo.AddMeasure(KaPoint(5, 4, 6), CB_NONE);
    photo.ConvertMeasure(CB_PIXEL_TO_BIKO);
    EXPECT_EQ(photo.FindMeasure(5)->y, 3.0);
    KaPoint* taken = photo.SubtractMeasure(5);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(photo.CountMeasure(), 0);
    delete taken;
}

TEST(KaPhoto, PixelSizeAndImageRegion) {
    KaPhoto photo(1);
    EXPECT_DOUBLE_EQ(photo.GetPixelSizeX(), 1.0);
    EXPECT_DOUBLE_EQ(photo.GetPixelSizeY(), 1.0);
    EXPECT_DOUBLE_EQ(photo.GetPixelSize(), 1.0);

    // 0.02 mm per pixel in x, 0.05 in y, after a pre transformation that only shifts.
    photo.SetReseauPreTrafo(Trafo(KaTrafo2DHelmert, {100, 1, -50, 0}));
    photo.SetReseauMainTrafo(Trafo(KaTrafo2DAffin, {-60, 0.02, 0, 80, 0, -0.05}));
    EXPECT_NEAR(photo.GetPixelSizeX(), 0.02, 1e-12);
    EXPECT_NEAR(photo.GetPixelSizeY(), 0.05, 1e-12);
    EXPECT_NEAR(photo.GetPixelSize(), std::sqrt(0.001), 1e-12);

    // A main transformation that collapses everything counts a distance of 1.
    photo.SetReseauPreTrafo(KaReseauTrafo());
    photo.SetReseauMainTrafo(Trafo(KaTrafo2DProjektiv, {0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(std::isfinite(photo.GetPixelSizeX()));

    KaPhoto region(2);
    region.SetDigiRegion(KaRegion(0, 0, 3000, 2000));
    region.SetReseauPreTrafo(Trafo(KaTrafo2DHelmert, {100, 1, -50, 0}));
    region.SetReseauMainTrafo(Trafo(KaTrafo2DAffin, {-60, 0.02, 0, 80, 0, -0.05}));
    KaRegion const biko = region.GetBikoRegion();
    EXPECT_NEAR(biko.Left(), -58.0, 1e-12);
    EXPECT_NEAR(biko.Bottom(), 82.5, 1e-12);
    EXPECT_NEAR(biko.Right(), 2.0, 1e-12);
    EXPECT_NEAR(biko.Top(), -17.5, 1e-12);
    KaPoint inside(1, 100, 100), outside(2, 4000, 100);
    EXPECT_TRUE(region.Overlap(&inside));
    EXPECT_FALSE(region.Overlap(&outside));
}

TEST(KaPhoto, GetRektTrafoWalksForward) {
    KaPhoto photo(1);
    KaPoint const p(1, 5, 5), q(2, 25, 25);
    EXPECT_EQ(photo.GetRektTrafo(&p, nullptr, false), nullptr);
    EXPECT_EQ(photo.CountRektTrafo(&p, false), 0);

    KaRegion const low(0, 0, 10, 10), high(20, 20, 30, 30);
    KaRektTrafo* whole = photo.AddRektTrafo(RektTrafo(1, false, nullptr));
    KaRektTrafo* first = photo.AddRektTrafo(RektTrafo(2, true, &low));
    KaRektTrafo* second = photo.AddRektTrafo(RektTrafo(3, true, &high));

    // A transform without region covers every point.
    EXPECT_EQ(photo.GetRektTrafo(&p, nullptr, false), whole);
    EXPECT_EQ(photo.GetRektTrafo(&q, nullptr, false), whole);
    EXPECT_EQ(photo.GetRektTrafo(&p, nullptr, true), first);
    EXPECT_EQ(photo.GetRektTrafo(&p, whole, false), first);
    EXPECT_EQ(photo.GetRektTrafo(&p, first, false), nullptr);
    EXPECT_EQ(photo.GetRektTrafo(&q, nullptr, true), second);
    EXPECT_EQ(photo.GetRektTrafo(&q, second, false), nullptr);
    EXPECT_EQ(photo.CountRektTrafo(&p, false), 2);
    EXPECT_EQ(photo.CountRektTrafo(&p, true), 1);
    EXPECT_EQ(photo.CountRektTrafo(&q, true), 1);

    EXPECT_EQ(photo.FindRektTrafo(3), second);
    EXPECT_EQ(HasPhotoRekt(&photo), 1u);
    KaRektTrafo* taken = photo.SubtractRektTrafo(1);
    EXPECT_EQ(taken, whole);
    EXPECT_EQ(photo.FirstRektTrafo(), first);
    delete taken;
    photo.AddRektTrafo(*first);
    EXPECT_EQ(photo.LastRektTrafo()->GetId(), 2u);
    EXPECT_NE(photo.LastRektTrafo(), first);
}

TEST(KaPhoto, AttributesAreToldWhenAttachedAndDetached) {
    KaPhoto photo(1), other(2);
    auto* attribute = new CountingAttribute("Color");
    EXPECT_EQ(photo.AddAttribute(attribute), attribute);
    EXPECT_EQ(attribute->added, 1);
    EXPECT_EQ(attribute->photoAtAdd, &photo);
    EXPECT_EQ(photo.FindAttribute("COLOR"), attribute);

    // Not in the other photo's list: nothing happens.
    EXPECT_EQ(other.SubtractAttribute(attribute), nullptr);
    EXPECT_EQ(attribute->subtracted, 0);
    EXPECT_EQ(attribute->GetPhoto(), &photo);

    EXPECT_EQ(photo.SubtractAttribute("color"), attribute);
    EXPECT_EQ(attribute->subtracted, 1);
    EXPECT_EQ(attribute->GetPhoto(), nullptr);
    EXPECT_EQ(photo.FirstAttribute(), nullptr);
    delete attribute;

    // A copy is appended first, told, then attached.
    CountingAttribute const model("Label");
    KaAttribute* copy = photo.AddAttribute(model);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetPhoto(), &photo);
    auto const* counted = dynamic_cast<CountingAttribute const*>(copy);
    EXPECT_EQ(counted, nullptr); // the list copies the base part only
    EXPECT_EQ(model.GetPhoto(), nullptr);
    photo.DelAttribute("label");
    EXPECT_EQ(photo.FirstAttribute(), nullptr);
}

TEST(KaPhoto, PredicatesAndReseauFile) {
    KaPhoto photo(1);
    photo.SetReseauData(KaReseauDataDesc("NET.RES", 2));
    EXPECT_EQ(IsPhotoAnalog(&photo), 1u);
    EXPECT_EQ(IsPhotoDigital(&photo), 0u);
    EXPECT_EQ(IsPhotoActive(&photo), 0u);
    EXPECT_EQ(HasPhotoReseau(&photo), 0u);
    EXPECT_EQ(HasPhotoRekt(&photo), 0u);
    photo.SetType(KaPhotoDigital);
    photo.SetActiveFlag(2);
    photo.SetReseauMainTrafo(Trafo(KaTrafo2DAffin, {0, 1, 0, 0, 0, 1}));
    EXPECT_EQ(IsPhotoDigital(&photo), 1u);
    EXPECT_EQ(IsPhotoExtern(&photo), 1u);
    EXPECT_EQ(HasPhotoReseau(&photo), 1u);
    KaPoint const notAPhoto;
    EXPECT_EQ(IsPhotoDigital(&notAPhoto), 0u);
    EXPECT_EQ(IsPhotoAnalog(nullptr), 0u);

    KaReseaufileList files;
    auto* plain = new KaReseauFile();
    plain->SetName("net.res");
    auto* sub = new KaReseauFile();
    sub->SetName("NET.RES");
    sub->SetSubId(2);
    files.Add(plain);
    files.Add(sub);
    EXPECT_EQ(files.FindReseauFile(&photo), sub);
    EXPECT_EQ(files.FindReseauFile(static_cast<KaPhoto const*>(nullptr)), nullptr);
    photo.SetReseauData(KaReseauDataDesc("other.res", 0));
    EXPECT_EQ(files.FindReseauFile(&photo), nullptr);
}

TEST(KaPhoto, WritesReadsAndWritesAgainByteForByte) {
    namespace fs = std::filesystem;
    fs::path const dir = fs::temp_directory_path() / "tarvis_photo_test";
    fs::remove_all(dir);
    fs::create_directories(dir);

    KaPhoto photo(12);
    Fill(photo);
    std::string const first = PhotoBlock(photo);
    EXPECT_NE(first.find("PHOTOID         {   12 \"images/p12.tif\"}\n"), std::string::npos) << first;
    EXPECT_NE(first.find("POLYRESINVTRAFO"), std::string::npos);
    EXPECT_NE(first.find("REKTPLANE"), first.rfind("REKTPLANE")); // one entry per transform
    {
        std::ofstream out(dir / "photo.pro", std::ios::binary);
        out << first;
    }

    PhotoFile file((dir / "photo.pro").string());
    EXPECT_EQ(file.errors, 0);
    ASSERT_EQ(file.photos.Count(), 1);
    KaPhoto const& back = *file.photos.First();
    EXPECT_EQ(PhotoBlock(back), first);

    EXPECT_STREQ(back.GetName().chars(), "images/p12.tif");
    EXPECT_STREQ(back.GetComment().chars(), "Ostseite; 2. Befliegung");
    EXPECT_TRUE(back.IsDigital());
    EXPECT_TRUE(back.IsActive());
    EXPECT_NE(back.IsFlagSet(PointFlagGuiCheckActive), 0);
    EXPECT_EQ(back.GetDigitizerId(), 20u);
    EXPECT_EQ(back.GetDigPictPage(), 2);
    EXPECT_EQ(back.GetScale(), 1234.5);
    EXPECT_STREQ(back.ReseauData().GetName().chars(), "Kamera.dres");
    EXPECT_EQ(back.ReseauData().GetSubId(), 3u);
    EXPECT_EQ(back.GetReseauPolyInv().p[19], 1e-9);
    EXPECT_EQ(back.GetCamera().GetC(), 35.2);
    EXPECT_EQ(back.GetScreenPos().x, 100.0);
    EXPECT_EQ(back.GetScreenScale(), 3);
    EXPECT_EQ(back.GetRektList().Count(), 2);
    EXPECT_EQ(back.CountMeasure(), 0);
    EXPECT_TRUE(back.GetReseauPreTrafo().GetName().empty());
    fs::remove_all(dir);
}

TEST(KaPhoto, WritingAndReadingDetails) {
    // The inverse polynomial is written only when it is one.
    KaPhoto photo(1, "p1.tif");
    photo.SetPolyInvTrafo(Trafo(KaTrafo2DAffin, {0, 1, 0, 0, 0, 1}));
    std::string const text = PhotoBlock(photo);
    EXPECT_EQ(text.find("POLYRESINVTRAFO"), std::string::npos);
    EXPECT_EQ(text.find("REKTPLANE"), std::string::npos);
    EXPECT_NE(text.find("    SCALE" + std::string(15, ' ') + "0\n"), std::string::npos) << text;

    // Quotes inside texts would end the string early.
    photo.SetComment("the \"north\" side");
    std::istringstream in(PhotoBlock(photo) + "PHOTO { PHOTOID { 2 \"b\" } }\n");
    PhotoFile file(in, "quotes.pro");
    EXPECT_EQ(file.errors, 0);
    ASSERT_EQ(file.photos.Count(), 2);
    EXPECT_STREQ(file.photos.First()->GetComment().chars(), "the 'north' side");

    // Old user data: page counted from 0, rotation code 3 for none; a false
    // CHECKACTIVE does not clear the bit.
    std::istringstream old("PHOTO { USERDATA \"a;0;3;b\" CHECKACTIVE 0 }\n"
                           "PHOTO { USERDATA \"a;4;2\" DIGITAL 1 DIGITIZERID 6 }\n");
    PhotoFile olds(old, "userdata.pro");
    ASSERT_EQ(olds.photos.Count(), 2);
    KaPhoto const* a = olds.photos.First();
    EXPECT_EQ(a->GetDigPictPage(), 1);
    EXPECT_EQ(a->GetDigPictRot(), 0);
    EXPECT_EQ(a->IsFlagSet(PointFlagGuiCheckActive), 0);
    KaPhoto const* b = a->Next();
    EXPECT_EQ(b->GetDigPictPage(), 5);
    EXPECT_EQ(b->GetDigPictRot(), 2);
    EXPECT_TRUE(b->IsDigital());
    EXPECT_EQ(b->GetDigitizerId(), 6u);
}

TEST(KaPhoto, ReadsTheVersion50Layout) {
    PhotoFile file(kDataDir + "/photo_v50.pro");
    EXPECT_EQ(file.errors, 0);
    ASSERT_EQ(file.photos.Count(), 1);
    KaPhoto const& photo = *file.photos.First();
    EXPECT_EQ(photo.GetId(), 3u);
    // The analog photo's description moves to the comment; the reseau file comes
    // from the pre transformation.
    EXPECT_TRUE(photo.GetName().empty());
    EXPECT_STREQ(photo.GetComment().chars(), "Fassade Nord, Aufnahme 3");
    EXPECT_STREQ(photo.ReseauData().GetName().chars(), "NET.RES");
    EXPECT_EQ(photo.ReseauData().GetSubId(), 2u);
    EXPECT_EQ(photo.GetDigPictPage(), 3);
    EXPECT_EQ(photo.GetDigPictRot(), 0);
    EXPECT_TRUE(photo.IsAnalog());
    EXPECT_EQ(photo.GetDigitizerId(), 4u);
    EXPECT_TRUE(photo.IsActive());
    EXPECT_NE(photo.IsFlagSet(PointFlagGuiCheckActive), 0);
    EXPECT_EQ(photo.GetScale(), 250.0);
    EXPECT_EQ(photo.GetDigiRegion().Right(), 4000.0);
    EXPECT_EQ(photo.GetCamera().GetId(), 5u);
    EXPECT_EQ(photo.GetReseauPreTrafo().GetType(), KaTrafo2DHelmert);
    EXPECT_EQ(photo.GetReseauPreTrafo().p[1], 1.002);
    EXPECT_EQ(photo.GetReseauTrafoType(), KaTrafo2DAffin);
    EXPECT_EQ(photo.GetReseauMainTrafo().p[5], -0.05);
    ASSERT_EQ(photo.GetRektList().Count(), 1);
    EXPECT_EQ(photo.FirstRektTrafo()->GetId(), 4u);
    EXPECT_EQ(photo.GetScreenPos().y, 32.0);
    EXPECT_EQ(photo.GetScreenScale(), 2);

    // Written in the current layout, the photo reads back as it is now.
    std::istringstream again(PhotoBlock(photo));
    PhotoFile back(again, "again.pro");
    ASSERT_EQ(back.photos.Count(), 1);
    EXPECT_TRUE(back.photos.First()->GetName().empty());
    EXPECT_STREQ(back.photos.First()->GetComment().chars(), "Fassade Nord, Aufnahme 3");
    EXPECT_STREQ(back.photos.First()->ReseauData().GetName().chars(), "NET.RES");
}

TEST(KaPhoto, CurrentLayoutAnalogPhotoKeepsNameAndComment) {
    PhotoFile file(kDataDir + "/photo_analog.pro");
    EXPECT_EQ(file.errors, 0);
    ASSERT_EQ(file.photos.Count(), 1);
    KaPhoto const& photo = *file.photos.First();
    EXPECT_TRUE(photo.IsAnalog());
    EXPECT_STREQ(photo.GetName().chars(), "scans/p7.tif");
    EXPECT_STREQ(photo.GetComment().chars(), "Nordseite");
    EXPECT_STREQ(photo.ReseauData().GetName().chars(), "NET.RES");
    EXPECT_EQ(photo.GetReseauPreTrafo().GetType(), KaTrafo2DHelmert);

    // And through any number of saves.
    std::string const text = PhotoBlock(photo);
    std::istringstream in(text);
    PhotoFile back(in, "analog.pro");
    ASSERT_EQ(back.photos.Count(), 1);
    EXPECT_STREQ(back.photos.First()->GetName().chars(), "scans/p7.tif");
    EXPECT_STREQ(back.photos.First()->GetComment().chars(), "Nordseite");
    EXPECT_EQ(PhotoBlock(*back.photos.First()), text);
}
