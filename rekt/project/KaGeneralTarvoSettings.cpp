#include "project/KaGeneralTarvoSettings.h"

KaGeneralTarvoSettings sKaGeneralTarvoSettings;

KaGeneralTarvoSettings::KaGeneralTarvoSettings() {
    Init();
}

KaGeneralTarvoSettings::~KaGeneralTarvoSettings() = default;

void KaGeneralTarvoSettings::Init() {
    m_FirstFlag = 1;
    m_SecondFlag = 1;
    m_ReseauFilename = "Tarvis.dres";
    m_CameraFilename = "Tarvis.cam";
    m_Counter1 = 0;
    m_Counter2 = 0;
    m_Factor = 25.0;
    m_ThirdValue = 0;
    m_Limit = 300;
    m_FourthValue = 0;
    m_FifthFlag = 1;
}
