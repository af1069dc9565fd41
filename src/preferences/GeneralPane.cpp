// SPDX-License-Identifier: GPL-3.0-or-later
#include "GeneralPane.h"

#include "defaults/Settings.h"
#include "formatting/ObjectFormat.h"
#include "formatting/TemperatureValueTransformer.h"
#include "platform/Alerts.h"
#include "platform/Bundle.h"
#include "platform/Localization.h"
#include "ui_GeneralPane.h"

#include <QButtonGroup>
#include <QDir>

#include <algorithm>
#include <array>
#include <cmath>

namespace calidra {
namespace {

const QString LoginItemName = u"Calidra"_qs;

// The sampling intervals the slider offers, in seconds.
constexpr std::array<double, 12> Intervals{0.5, 1, 2, 3, 4, 5, 10, 15, 20, 30, 45, 60};
static_assert(Intervals.front() == Settings::Frequency::shortest &&
              Intervals.back() == Settings::Frequency::longest);

int nearestInterval(double seconds)
{
    const auto distance = [seconds](double a, double b) {
        return std::abs(a - seconds) < std::abs(b - seconds);
    };
    return int(std::min_element(Intervals.begin(), Intervals.end(), distance) - Intervals.begin());
}

} // namespace

GeneralPane::GeneralPane(const QString& autostartFolder, bool intelModel, QWidget* parent)
    : PreferencePane(parent), m_ui(std::make_unique<Ui::GeneralPane>()),
      m_loginItems(autostartFolder)
{
    m_ui->setupUi(this);
    bindGauges(intelModel);
    bindFrequency();
    bindStartup();
    bindAlarm();
}

GeneralPane::~GeneralPane() = default;

void GeneralPane::bindGauges(bool intelModel)
{
    gaugeChooser = new QButtonGroup(this);
    gaugeChooser->addButton(m_ui->gaugeTemperatureButton, 0);
    gaugeChooser->addButton(m_ui->gaugeFrequencyButton, 1);
    gaugeChooser->addButton(m_ui->gaugeBothButton, 2);
    m_ui->gaugeFrequencyButton->setEnabled(intelModel);
    m_ui->gaugeBothButton->setEnabled(intelModel);
    if (!intelModel) {
        measureTemperatureAlone();
    }
    selectGaugeRow();
    connect(gaugeChooser, &QButtonGroup::idClicked, this, &GeneralPane::chooseGauge);
}

// Only a listed Intel model reports its frequency, so elsewhere the
// temperature is measured alone; the defaults are written only where they
// say otherwise, so an opening changes nothing that is already right.
void GeneralPane::measureTemperatureAlone()
{
    const auto correct = []<typename Key>(Key, bool value) {
        if (defaults().value<Key>() != value) {
            defaults().setValue<Key>(value);
        }
    };
    correct(Settings::GaugeFrequency(), false);
    correct(Settings::GaugeTemperature(), true);
    correct(Settings::ArrangeVertically(), false);
}

void GeneralPane::selectGaugeRow()
{
    const int row = int(defaults().value<Settings::GaugeTemperature>()) +
                    2 * int(defaults().value<Settings::GaugeFrequency>()) - 1;
    if (QAbstractButton* button = gaugeChooser->button(row)) {
        button->setChecked(true);
    }
}

void GeneralPane::chooseGauge(int row)
{
    if (row < 0 || row > 2) {
        return;
    }
    defaults().setValue<Settings::GaugeTemperature>(row != 1);
    defaults().setValue<Settings::GaugeFrequency>(row != 0);
}

void GeneralPane::bindFrequency()
{
    QSlider* slider = m_ui->frequencySlider;
    slider->setRange(0, int(Intervals.size()) - 1);
    slider->setPageStep(1);
    follow(Settings::Frequency::name, [this, slider] {
        const double seconds = defaults().value<Settings::Frequency>();
        const QSignalBlocker blocker(slider);
        slider->setValue(nearestInterval(seconds));
        m_ui->frequencyLabel->setText(m_intervalTransformer.transformedValue(seconds));
    });
    connect(slider, &QSlider::valueChanged, this, [](int index) {
        defaults().setValue<Settings::Frequency>(float(Intervals[std::size_t(index)]));
    });
}

void GeneralPane::bindStartup()
{
    m_ui->loginItemSwitch->setChecked(m_loginItems.exists(LoginItemName));
    connect(m_ui->loginItemSwitch, &QCheckBox::clicked, this, &GeneralPane::toggleLoginItem);
    // Updates come with the package, so the update check keeps only its
    // start-up behaviour and has no control here.
    bindSettingsPage(m_ui->startupApplicationsButton, SettingsPages::Autostart,
                     QT_TRANSLATE_NOOP("Calidra", "No settings tool for startup applications "
                                                  "was found on this desktop."));
}

void GeneralPane::toggleLoginItem(bool on)
{
    if (on) {
        const Bundle* bundle = Bundle::mainBundle();
        const QString bundlePath = bundle ? bundle->bundlePath() : QString();
        const QString executable = bundlePath + u"/calidra"_qs;
        if (LoginItems::canStart(executable)) {
            m_loginItems.make(LoginItemName, executable);
        } else {
            m_ui->loginItemSwitch->setChecked(false);
            explainUnstartableBundle(bundlePath);
        }
        return;
    }
    for (int pass = 0; pass < MaxLoginItemDeletions && m_loginItems.exists(LoginItemName); ++pass) {
        m_loginItems.remove(LoginItemName);
    }
}

// A login item that cannot start would fail at every login without a word, so
// the user learns at once what keeps it from being made.
void GeneralPane::explainUnstartableBundle(const QString& bundlePath)
{
    const QString message =
        localizedFormat(QT_TRANSLATE_NOOP("Calidra", "Calidra cannot start at login from “%@”."));
    Alerts::run({stringWithFormat(message, {QDir::toNativeSeparators(bundlePath)}),
                 localizedString(QT_TRANSLATE_NOOP(
                     "Calidra", "The desktop cannot start a program whose folder name holds "
                                "“%” or is not valid UTF-8. Move Calidra to a folder whose name "
                                "has no “%” and only valid UTF-8, then turn this on again.")),
                 {localizedString(QT_TRANSLATE_NOOP("Calidra", "OK"))},
                 false});
}

// The threshold shows in the display unit in whole degrees of it, and is
// written only when the user changes it: showing 90 ℃ as 194 ℉ and back must
// not store anything.
void GeneralPane::bindAlarm()
{
    bindSwitch<Settings::AlarmEnabled>(m_ui->alarmSwitch);
    follow(Settings::AlarmEnabled::name, [this] {
        m_ui->alarmTemperatureField->setEnabled(defaults().value<Settings::AlarmEnabled>());
    });
    follow(Settings::AlarmTemperature::name, [this] { showAlarmTemperature(); });
    follow(Settings::DisplayUnit::name, [this] { showAlarmTemperature(); });
    connect(m_ui->alarmTemperatureField, &QSpinBox::valueChanged, this, [](int shown) {
        const double celsius = TemperatureValueTransformer::fromShownUnit(shown);
        defaults().setValue<Settings::AlarmTemperature>(float(celsius));
    });
}

void GeneralPane::showAlarmTemperature()
{
    const auto shown = [](float celsius) {
        return int(std::lround(TemperatureValueTransformer::toShownUnit(celsius)));
    };
    QSpinBox* field = m_ui->alarmTemperatureField;
    const QSignalBlocker blocker(field);
    field->setRange(shown(Settings::AlarmTemperature::lowest),
                    shown(Settings::AlarmTemperature::highest));
    field->setSuffix(u' ' + TemperatureValueTransformer::unitSign());
    field->setValue(shown(defaults().value<Settings::AlarmTemperature>()));
}

} // namespace calidra
