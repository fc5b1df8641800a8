#include "AudioEffect.h"

#include "AEffEditor.h"

#include <memory>

namespace {

AudioEffect* objectOf(AEffect* e) {
    if (!e || e->magic != kEffectMagic) return nullptr;
    return static_cast<AudioEffect*>(e->object);
}

// No exception may cross into the host: a failure becomes the answer 0.
VstIntPtr dispatchEffClass(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                           float opt) {
    AudioEffect* effect = objectOf(e);
    if (!effect) return 0;
    VstIntPtr answer = 0;
    try {
        answer = effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        answer = 0;
    }
    // The host is done with the instance whatever its close did.
    if (opcode != effClose) return answer;
    std::unique_ptr<AudioEffect> closing(effect);
    return 1;
}

// The other entries likewise: a failure leaves the block as it is, or reads as 0.
void processClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
    try {
        if (AudioEffect* effect = objectOf(e)) effect->process(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void processClassReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
    try {
        if (AudioEffect* effect = objectOf(e))
            effect->processReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                 VstInt32 sampleFrames) {
    try {
        if (AudioEffect* effect = objectOf(e))
            effect->processDoubleReplacing(inputs, outputs, sampleFrames);
    } catch (...) {
    }
}

void setParameterClass(AEffect* e, VstInt32 index, float value) {
    try {
        if (AudioEffect* effect = objectOf(e)) effect->setParameter(index, value);
    } catch (...) {
    }
}

float getParameterClass(AEffect* e, VstInt32 index) {
    try {
        AudioEffect* effect = objectOf(e);
        return effect ? effect->getParameter(index) : 0.0f;
    } catch (...) {
        return 0.0f;
    }
}

} // namespace

struct AudioEffect::Opcodes {
    using Handler = VstIntPtr (*)(AudioEffect&, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt);

    static VstIntPtr open(AudioEffect& a, VstInt32, VstIntPtr, void*, float) {
        a.open();
        return 0;
    }
    static VstIntPtr close(AudioEffect& a, VstInt32, VstIntPtr, void*, float) {
        a.close();
        return 0;
    }
    static VstIntPtr setProgram(AudioEffect& a, VstInt32, VstIntPtr value, void*, float) {
        if (value < a.numPrograms) a.setProgram(value);
        return 0;
    }
    static VstIntPtr getProgram(AudioEffect& a, VstInt32, VstIntPtr, void*, float) {
        return a.getProgram();
    }
    static VstIntPtr setProgramName(AudioEffect& a, VstInt32, VstIntPtr, void* ptr, float) {
        if (ptr) a.setProgramName(static_cast<char*>(ptr));
        return 0;
    }
    static VstIntPtr getProgramName(AudioEffect& a, VstInt32, VstIntPtr, void* ptr, float) {
        if (ptr) a.getProgramName(static_cast<char*>(ptr));
        return 0;
    }
    static VstIntPtr getParamLabel(AudioEffect& a, VstInt32 index, VstIntPtr, void* ptr, float) {
        if (ptr) a.getParameterLabel(index, static_cast<char*>(ptr));
        return 0;
    }
    static VstIntPtr getParamDisplay(AudioEffect& a, VstInt32 index, VstIntPtr, void* ptr, float) {
        if (ptr) a.getParameterDisplay(index, static_cast<char*>(ptr));
        return 0;
    }
    static VstIntPtr getParamName(AudioEffect& a, VstInt32 index, VstIntPtr, void* ptr, float) {
        if (ptr) a.getParameterName(index, static_cast<char*>(ptr));
        return 0;
    }
    static VstIntPtr getVu(AudioEffect& a, VstInt32, VstIntPtr, void*, float) {
        return static_cast<VstIntPtr>(a.getVu() * 32767.0f);
    }
    static VstIntPtr setSampleRate(AudioEffect& a, VstInt32, VstIntPtr, void*, float opt) {
        a.setSampleRate(opt);
        return 0;
    }
    static VstIntPtr setBlockSize(AudioEffect& a, VstInt32, VstIntPtr value, void*, float) {
        a.setBlockSize(static_cast<VstInt32>(value));
        return 0;
    }
    static VstIntPtr mainsChanged(AudioEffect& a, VstInt32, VstIntPtr value, void*, float) {
        if (value)
            a.resume();
        else
            a.suspend();
        return 0;
    }
    static VstIntPtr editGetRect(AudioEffect& a, VstInt32, VstIntPtr, void* ptr, float) {
        if (!a.editor || !ptr) return 0;
        return a.editor->getRect(static_cast<ERect**>(ptr));
    }
    static VstIntPtr editOpen(AudioEffect& a, VstInt32, VstIntPtr, void* ptr, float) {
        return a.editor ? a.editor->open(ptr) : 0;
    }
    static VstIntPtr editClose(AudioEffect& a, VstInt32, VstIntPtr, void*, float) {
        if (a.editor) a.editor->close();
        return 0;
    }
    static VstIntPtr editIdle(AudioEffect& a, VstInt32, VstIntPtr, void*, float) {
        if (a.editor) a.editor->idle();
        return 0;
    }
    static VstIntPtr identify(AudioEffect&, VstInt32, VstIntPtr, void*, float) {
        return vstFourCC("NvEf");
    }
    static VstIntPtr getChunk(AudioEffect& a, VstInt32 index, VstIntPtr, void* ptr, float) {
        if (!ptr) return 0;
        return a.getChunk(static_cast<void**>(ptr), index != 0);
    }
    static VstIntPtr setChunk(AudioEffect& a, VstInt32 index, VstIntPtr value, void* ptr, float) {
        return a.setChunk(ptr, value, index != 0);
    }

    // Opcodes 16 to 18, 20, 21 (old editor calls) have no handler and answer 0.
    static constexpr Handler table[effProcessEvents] = {
        open,           close,         setProgram,      getProgram,   setProgramName,
        getProgramName, getParamLabel, getParamDisplay, getParamName, getVu,
        setSampleRate,  setBlockSize,  mainsChanged,    editGetRect,  editOpen,
        editClose,      nullptr,       nullptr,         nullptr,      editIdle,
        nullptr,        nullptr,       identify,        getChunk,     setChunk,
    };
};

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vstFourCC("NoEf");
    cEffect.version = 1;
    cEffect.processReplacing = processClassReplacing;
}

// The double-precision entry is published only by a plugin that says it can process doubles.
void AudioEffect::canDoubleReplacing(bool state) {
    setFlag(effFlagsCanDoubleReplacing, state);
    cEffect.processDoubleReplacing = state ? processClassDoubleReplacing : nullptr;
}

AudioEffect::~AudioEffect() = default;

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
    if (opcode < 0 || opcode >= effProcessEvents) return 0;
    Opcodes::Handler handler = Opcodes::table[opcode];
    return handler ? handler(*this, index, value, ptr, opt) : 0;
}

VstInt32 AudioEffect::getChunk(void** data, bool) {
    if (data) *data = nullptr;
    return 0;
}

VstInt32 AudioEffect::setChunk(void*, VstIntPtr, bool) {
    return 0;
}

void AudioEffect::setEditor(AEffEditor* e) {
    editor = e;
    setFlag(effFlagsHasEditor, e != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
    if (!audioMaster) return 0;
    return audioMaster(&cEffect, opcode, index, value, ptr, opt);
}

VstInt32 AudioEffect::getMasterVersion() {
    VstInt32 version = static_cast<VstInt32>(callHost(audioMasterVersion));
    return version ? version : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() {
    return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
    callHost(audioMasterIdle);
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}
