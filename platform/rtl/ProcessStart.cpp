#include "platform/rtl/ProcessStart.h"

#include <QCoreApplication>
#include <vector>

#include "platform/rtl/LogCategories.h"

namespace {

std::vector<TProcessPreparation>& Preparations() {
  static std::vector<TProcessPreparation> preparations;
  return preparations;
}

}  // namespace

bool AddProcessPreparation(TProcessPreparation Preparation) {
  Preparations().push_back(Preparation);
  return true;
}

QList<QPair<QByteArray, QByteArray>> ProcessEnvironment(const TProcessOptions& Options) {
  QList<QPair<QByteArray, QByteArray>> variables;
  const auto add = [&](const char* Name, const char* Value) {
    variables.append(QPair<QByteArray, QByteArray>(Name, Value));
  };
  add("QT_ENABLE_HIGHDPI_SCALING", "0");
  if (Options.Kind == pkTest || Options.Offscreen) add("QT_QPA_PLATFORM", "offscreen");
  if (Options.Engine && Options.EngineSandboxOff) add("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (Options.Engine && Options.EngineHeadless)
    add("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-dev-shm-usage");
  return variables;
}

void PrepareProcess(const TProcessOptions& Options) {
  if (QCoreApplication::instance()) {
    qCWarning(lcRtl) << "PrepareProcess called once the application exists: nothing changed";
    return;
  }
  for (const auto& [name, value] : ProcessEnvironment(Options)) {
    // The engine's settings give way to what the environment already says;
    // scaling and the platform of tests are not negotiable.
    if (name.startsWith("QTWEBENGINE_") && qEnvironmentVariableIsSet(name.constData())) continue;
    qputenv(name.constData(), value);
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (!Options.Engine) return;
  if (Preparations().empty())
    qCWarning(lcRtl) << "PrepareProcess: the engine was asked for, but no engine layer is linked in";
  for (TProcessPreparation preparation : Preparations()) preparation(Options);
}
