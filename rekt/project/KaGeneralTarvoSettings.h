#pragma once

#include "TarvisRektExport.h"
#include "foundation/String.h"

// The system-wide settings of the application. Inside the libraries only the
// names of the system reseau file and the system camera file are used; the
// other values are carried for the application, which may change them freely.
class TARVISREKT_API KaGeneralTarvoSettings {
public:
    static constexpr int TextCount = 7;

    // Calls Init.
    KaGeneralTarvoSettings();
    KaGeneralTarvoSettings(KaGeneralTarvoSettings const& other) = default;
    KaGeneralTarvoSettings& operator=(KaGeneralTarvoSettings const& other) = default;
    virtual ~KaGeneralTarvoSettings();

    // Sets every value to its default; the texts keep their contents.
    void Init();

    String const& GetReseauFilename() const { return m_ReseauFilename; }
    void SetReseauFilename(String const& name) { m_ReseauFilename = name; }
    String const& GetCameraFilename() const { return m_CameraFilename; }
    void SetCameraFilename(String const& name) { m_CameraFilename = name; }

    int m_FirstFlag = 1;
    String m_FirstText;
    int m_SecondFlag = 1;
    String m_ReseauFilename;
    String m_CameraFilename;
    int m_Counter1 = 0;
    int m_Counter2 = 0;
    double m_Factor = 25.0;
    int m_ThirdValue = 0;
    int m_Limit = 300;
    int m_FourthValue = 0;
    int m_FifthFlag = 1;
    String m_Texts[TextCount];
};

// The settings of the process: constructed (initialised) when the library is
// loaded, destroyed when it is unloaded.
extern TARVISREKT_API KaGeneralTarvoSettings sKaGeneralTarvoSettings;
