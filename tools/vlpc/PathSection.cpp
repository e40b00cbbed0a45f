#include <sstream>
#include <vlpc/ManifestSections.h>

namespace vlpc {

void compilePaths(Compilation& c, json const& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = c.at("paths", i);
        json const& entry = c.object(list[i], where);
        c.allowFields(entry, {"name", "points"}, where);
        c.define(c.paths, entry, where, i);
        std::string const pointsAt = c.at(where, "points");
        json const& points = c.array(c.field(entry, "points", where), pointsAt);
        if (points.size() < 2) {
            c.fail(pointsAt, "a path needs at least 2 points");
        }
        if (points.size() > format::MAX_PATH_POINTS) {
            c.fail(pointsAt, std::to_string(points.size()) + " points; a path holds at most " +
                                 std::to_string(format::MAX_PATH_POINTS));
        }
        PathRecord record;
        for (std::size_t p = 0; p < points.size(); ++p) {
            std::string const pointAt = c.at(pointsAt, p);
            if (!points[p].is_array() || points[p].size() != 4) {
                c.fail(pointAt, "expected [time, x, y, z]");
            }
            Vec4 const values = c.floats<4>(points[p], pointAt);
            PathPoint const point{values[0], {values[1], values[2], values[3]}};
            if (p > 0 && !(point.time > record.points.back().time)) {
                std::ostringstream message;
                message << "time " << point.time
                        << " does not come after the previous point's time "
                        << record.points.back().time;
                c.fail(pointAt, message.str());
            }
            record.points.push_back(point);
        }
        c.out.paths.paths.push_back(std::move(record));
    }
}

} // namespace vlpc
