#include "uikit/CAShapeLayer.h"

#include <algorithm>
#include <cmath>

namespace {

// A sub-path as a polyline; closed ones repeat their first point at the end.
using Polyline = std::vector<CGPoint>;

std::vector<Polyline> flatten(const CGPath& path) {
    constexpr int curvePieces = 24;
    std::vector<Polyline> lines;
    CGPoint current{};
    for (const auto& element : path.elements()) {
        switch (element.kind) {
            case CGPath::Element::Kind::MoveTo:
                lines.push_back({element.points[0]});
                current = element.points[0];
                break;
            case CGPath::Element::Kind::LineTo:
                if (lines.empty()) lines.push_back({current});
                lines.back().push_back(element.points[0]);
                current = element.points[0];
                break;
            case CGPath::Element::Kind::CurveTo: {
                if (lines.empty()) lines.push_back({current});
                CGPoint p0 = current, p1 = element.points[0], p2 = element.points[1], p3 = element.points[2];
                for (int i = 1; i <= curvePieces; ++i) {
                    CGFloat t = static_cast<CGFloat>(i) / curvePieces, u = 1 - t;
                    lines.back().push_back({u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                                            u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y});
                }
                current = p3;
                break;
            }
            case CGPath::Element::Kind::Close:
                if (!lines.empty() && !lines.back().empty()) {
                    lines.back().push_back(lines.back().front());
                    current = lines.back().front();
                }
                break;
        }
    }
    return lines;
}

CGFloat distance(CGPoint a, CGPoint b) { return std::hypot(b.x - a.x, b.y - a.y); }

CGPoint between(CGPoint a, CGPoint b, CGFloat t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

}  // namespace

void CAShapeLayer::setStrokeStart(CGFloat start) { strokeStart_ = std::clamp(start, 0.0, 1.0); }

void CAShapeLayer::setStrokeEnd(CGFloat end) { strokeEnd_ = std::clamp(end, 0.0, 1.0); }

CGPathRef CAShapeLayer::trimmedPath(const CGPathRef& path, CGFloat start, CGFloat end) {
    auto trimmed = CGPathCreateMutable();
    if (!path || end <= start) return trimmed;
    auto lines = flatten(*path);
    CGFloat total = 0;
    for (const auto& line : lines)
        for (std::size_t i = 1; i < line.size(); ++i) total += distance(line[i - 1], line[i]);
    if (total <= 0) return trimmed;
    CGFloat from = start * total, to = end * total, walked = 0;
    for (const auto& line : lines) {
        bool drawing = false;
        for (std::size_t i = 1; i < line.size(); ++i) {
            CGFloat length = distance(line[i - 1], line[i]);
            CGFloat segmentStart = walked, segmentEnd = walked + length;
            walked = segmentEnd;
            if (length <= 0 || segmentEnd <= from || segmentStart >= to) {
                drawing = drawing && segmentStart < to;
                continue;
            }
            CGPoint a = between(line[i - 1], line[i], std::max(0.0, (from - segmentStart) / length));
            CGPoint b = between(line[i - 1], line[i], std::min(1.0, (to - segmentStart) / length));
            if (!drawing) trimmed->moveTo(a);
            trimmed->lineTo(b);
            drawing = true;
        }
    }
    return trimmed;
}

void CAShapeLayer::drawInContext(const CGContextRef& context) {
    if (!path_) return;
    if (fillColor_ && fillColor_->alpha() > 0) {
        CGContextSetFillColorWithColor(context, *fillColor_);
        CGContextAddPath(context, path_);
        CGContextFillPath(context);
    }
    if (!strokeColor_ || strokeColor_->alpha() <= 0 || lineWidth_ <= 0 || strokeEnd_ <= strokeStart_) return;
    CGContextSaveGState(context);
    CGContextSetStrokeColorWithColor(context, *strokeColor_);
    CGContextSetLineWidth(context, lineWidth_);
    CGContextSetLineCap(context, lineCap_);
    CGContextSetLineJoin(context, lineJoin_);
    CGContextSetLineDash(context, 0, lineDashPattern_.data(), lineDashPattern_.size());
    bool whole = strokeStart_ <= 0 && strokeEnd_ >= 1;
    CGContextAddPath(context, whole ? path_ : trimmedPath(path_, strokeStart_, strokeEnd_));
    CGContextStrokePath(context);
    CGContextRestoreGState(context);
}
