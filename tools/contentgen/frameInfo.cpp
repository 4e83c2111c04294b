#include "frameInfo.h"

#include <sstream>

std::string infoText(const std::string& title, const std::vector<FrameBlock>& frames) {
    std::ostringstream out;
    out << "FILES: " << frames.size() << "\n";
    out << "# " << title << "\n";
    out << "# per frame: bitmap pause key-rgb / anchor / collision box / hit box / hit active /\n";
    out << "# reserved flag / reserved value / reserved points (2) / sound / particle lines /\n";
    out << "# moveX moveY / reserved flag / reserved name\n";
    for (const FrameBlock& f : frames) {
        out << "\n";
        if (!f.note.empty()) out << "# " << f.note << "\n";
        out << f.file << " " << f.pause << " 255 0 255\n";
        out << f.offsetX << " " << f.offsetY << "\n";
        out << f.colBox[0] << " " << f.colBox[1] << " " << f.colBox[2] << " " << f.colBox[3] << "\n";
        out << f.hitBox[0] << " " << f.hitBox[1] << " " << f.hitBox[2] << " " << f.hitBox[3] << "\n";
        out << f.hitActive << "\n";
        out << "0\n0\n0 0\n0 0\n";
        out << f.sound << "\n";
        out << f.particles.size() << "\n";
        for (const std::string& line : f.particles) out << line << "\n";
        out << f.moveX << " " << f.moveY << "\n";
        out << "0\n";
        out << "NULL\n";
    }
    return out.str();
}

std::string hitText(const std::string& note, const HitValues& hit) {
    std::ostringstream out;
    out << "# " << note << "\n";
    out << "# damage in points, hitstop and hitstun in milliseconds, pushback in pixels\n";
    out << "damage = " << hit.damage << "\n";
    out << "hitstop = " << hit.hitstop << "\n";
    out << "hitstun = " << hit.hitstun << "\n";
    out << "pushback = " << hit.pushback << "\n";
    return out.str();
}

std::string hitText(const std::string& note, const HitValues& hit, const GuardValues& guard) {
    std::ostringstream out;
    out << hitText(note, hit);
    out << "# guard: mid, high or low; blockstun in milliseconds; launch in pixels per tick;\n";
    out << "# juggle: air hits the defender may already have taken\n";
    out << "guard = " << guard.guard << "\n";
    out << "blockstun = " << guard.blockstun << "\n";
    out << "launch = " << guard.launch << "\n";
    out << "juggle = " << guard.juggle << "\n";
    return out.str();
}
