#pragma once
#include <QByteArrayView>
#include <string_view>

// The RTF control words the reader knows, in one table sorted by name. Every word has
// a kind that tells the reader how to treat it; words not in the table are ignored
// (and the groups they start are skipped when they follow \*).
namespace engine {

enum class RtfWordKind : quint8 {
    Destination,  // starts a destination: the rest of its group is not body text
    Flag,         // a switch without parameter
    Toggle,       // on without parameter, off with parameter 0
    Value,        // takes a numeric parameter
    Symbol,       // stands for a character or a break
};

// The table, by name (sorted by the bytes of the name).
#define ENGINE_RTF_CONTROL_WORDS(X) \
    X(aftncn, "aftncn", Destination) \
    X(aftnsep, "aftnsep", Destination) \
    X(aftnsepc, "aftnsepc", Destination) \
    X(annotation, "annotation", Destination) \
    X(ansi, "ansi", Flag) \
    X(ansicpg, "ansicpg", Value) \
    X(atnauthor, "atnauthor", Destination) \
    X(atndate, "atndate", Destination) \
    X(atnicn, "atnicn", Destination) \
    X(atnid, "atnid", Destination) \
    X(atnparent, "atnparent", Destination) \
    X(atnref, "atnref", Destination) \
    X(atntime, "atntime", Destination) \
    X(atrfend, "atrfend", Destination) \
    X(atrfstart, "atrfstart", Destination) \
    X(author, "author", Destination) \
    X(b, "b", Toggle) \
    X(background, "background", Destination) \
    X(bin, "bin", Value) \
    X(bkmkend, "bkmkend", Destination) \
    X(bkmkstart, "bkmkstart", Destination) \
    X(blipuid, "blipuid", Destination) \
    X(blue, "blue", Value) \
    X(box, "box", Flag) \
    X(brdrb, "brdrb", Flag) \
    X(brdrbtw, "brdrbtw", Flag) \
    X(brdrcf, "brdrcf", Value) \
    X(brdrdash, "brdrdash", Flag) \
    X(brdrdashsm, "brdrdashsm", Flag) \
    X(brdrdb, "brdrdb", Flag) \
    X(brdrdot, "brdrdot", Flag) \
    X(brdremboss, "brdremboss", Flag) \
    X(brdrengrave, "brdrengrave", Flag) \
    X(brdrhair, "brdrhair", Flag) \
    X(brdrinset, "brdrinset", Flag) \
    X(brdrl, "brdrl", Flag) \
    X(brdrnil, "brdrnil", Flag) \
    X(brdrnone, "brdrnone", Flag) \
    X(brdroutset, "brdroutset", Flag) \
    X(brdrr, "brdrr", Flag) \
    X(brdrs, "brdrs", Flag) \
    X(brdrsh, "brdrsh", Flag) \
    X(brdrt, "brdrt", Flag) \
    X(brdrth, "brdrth", Flag) \
    X(brdrtriple, "brdrtriple", Flag) \
    X(brdrw, "brdrw", Value) \
    X(bullet, "bullet", Symbol) \
    X(buptim, "buptim", Destination) \
    X(category, "category", Destination) \
    X(cb, "cb", Value) \
    X(cell, "cell", Flag) \
    X(cellx, "cellx", Value) \
    X(cf, "cf", Value) \
    X(chatn, "chatn", Symbol) \
    X(chcbpat, "chcbpat", Value) \
    X(chftn, "chftn", Symbol) \
    X(clbrdrb, "clbrdrb", Flag) \
    X(clbrdrl, "clbrdrl", Flag) \
    X(clbrdrr, "clbrdrr", Flag) \
    X(clbrdrt, "clbrdrt", Flag) \
    X(clcbpat, "clcbpat", Value) \
    X(clcfpat, "clcfpat", Value) \
    X(clmgf, "clmgf", Flag) \
    X(clmrg, "clmrg", Flag) \
    X(clpadb, "clpadb", Value) \
    X(clpadl, "clpadl", Value) \
    X(clpadr, "clpadr", Value) \
    X(clpadt, "clpadt", Value) \
    X(clshdng, "clshdng", Value) \
    X(clvertalb, "clvertalb", Flag) \
    X(clvertalc, "clvertalc", Flag) \
    X(clvertalt, "clvertalt", Flag) \
    X(clvmgf, "clvmgf", Flag) \
    X(clvmrg, "clvmrg", Flag) \
    X(colorschememapping, "colorschememapping", Destination) \
    X(colortbl, "colortbl", Destination) \
    X(comment, "comment", Destination) \
    X(company, "company", Destination) \
    X(cpg, "cpg", Value) \
    X(creatim, "creatim", Destination) \
    X(datafield, "datafield", Destination) \
    X(datastore, "datastore", Destination) \
    X(deff, "deff", Value) \
    X(deflang, "deflang", Value) \
    X(defpap, "defpap", Destination) \
    X(dibitmap, "dibitmap", Value) \
    X(dn, "dn", Value) \
    X(do_, "do", Destination) \
    X(doccomm, "doccomm", Destination) \
    X(docvar, "docvar", Destination) \
    X(emdash, "emdash", Symbol) \
    X(emfblip, "emfblip", Flag) \
    X(emspace, "emspace", Symbol) \
    X(endash, "endash", Symbol) \
    X(enspace, "enspace", Symbol) \
    X(f, "f", Value) \
    X(falt, "falt", Destination) \
    X(fbidi, "fbidi", Flag) \
    X(fchars, "fchars", Destination) \
    X(fcharset, "fcharset", Value) \
    X(fdecor, "fdecor", Flag) \
    X(fi, "fi", Value) \
    X(field, "field", Destination) \
    X(filetbl, "filetbl", Destination) \
    X(fldinst, "fldinst", Destination) \
    X(fldrslt, "fldrslt", Destination) \
    X(fmodern, "fmodern", Flag) \
    X(fname, "fname", Destination) \
    X(fnil, "fnil", Flag) \
    X(fonttbl, "fonttbl", Destination) \
    X(footer, "footer", Destination) \
    X(footerf, "footerf", Destination) \
    X(footerl, "footerl", Destination) \
    X(footerr, "footerr", Destination) \
    X(footnote, "footnote", Destination) \
    X(fprq, "fprq", Value) \
    X(froman, "froman", Flag) \
    X(fs, "fs", Value) \
    X(fscript, "fscript", Flag) \
    X(fswiss, "fswiss", Flag) \
    X(ftech, "ftech", Flag) \
    X(ftncn, "ftncn", Destination) \
    X(ftnsep, "ftnsep", Destination) \
    X(ftnsepc, "ftnsepc", Destination) \
    X(generator, "generator", Destination) \
    X(green, "green", Value) \
    X(header, "header", Destination) \
    X(headerf, "headerf", Destination) \
    X(headerl, "headerl", Destination) \
    X(headerr, "headerr", Destination) \
    X(highlight, "highlight", Value) \
    X(hlinkbase, "hlinkbase", Destination) \
    X(i, "i", Toggle) \
    X(ilvl, "ilvl", Value) \
    X(info, "info", Destination) \
    X(intbl, "intbl", Flag) \
    X(itap, "itap", Value) \
    X(jpegblip, "jpegblip", Flag) \
    X(keywords, "keywords", Destination) \
    X(landscape, "landscape", Flag) \
    X(lang, "lang", Value) \
    X(latentstyles, "latentstyles", Destination) \
    X(lchars, "lchars", Destination) \
    X(ldblquote, "ldblquote", Symbol) \
    X(levelnfc, "levelnfc", Value) \
    X(levelnfcn, "levelnfcn", Value) \
    X(levelnumbers, "levelnumbers", Destination) \
    X(leveltext, "leveltext", Destination) \
    X(lfolevel, "lfolevel", Destination) \
    X(li, "li", Value) \
    X(lin, "lin", Value) \
    X(line, "line", Symbol) \
    X(list, "list", Destination) \
    X(listid, "listid", Value) \
    X(listlevel, "listlevel", Destination) \
    X(listname, "listname", Destination) \
    X(listoverride, "listoverride", Destination) \
    X(listoverridetable, "listoverridetable", Destination) \
    X(listpicture, "listpicture", Destination) \
    X(listtable, "listtable", Destination) \
    X(listtext, "listtext", Destination) \
    X(lquote, "lquote", Symbol) \
    X(ls, "ls", Value) \
    X(ltrmark, "ltrmark", Symbol) \
    X(mac, "mac", Flag) \
    X(macpict, "macpict", Flag) \
    X(manager, "manager", Destination) \
    X(margb, "margb", Value) \
    X(margl, "margl", Value) \
    X(margr, "margr", Value) \
    X(margt, "margt", Value) \
    X(mmath_, "mmath", Destination) \
    X(nestcell, "nestcell", Flag) \
    X(nestrow, "nestrow", Flag) \
    X(nesttableprops, "nesttableprops", Destination) \
    X(nonesttables, "nonesttables", Destination) \
    X(nonshppict, "nonshppict", Destination) \
    X(nosupersub, "nosupersub", Flag) \
    X(objclass, "objclass", Destination) \
    X(objdata, "objdata", Destination) \
    X(object, "object", Destination) \
    X(objname, "objname", Destination) \
    X(operator_, "operator", Destination) \
    X(page, "page", Symbol) \
    X(pagebb, "pagebb", Flag) \
    X(panose, "panose", Destination) \
    X(paperh, "paperh", Value) \
    X(paperw, "paperw", Value) \
    X(par, "par", Symbol) \
    X(pard, "pard", Flag) \
    X(pc, "pc", Flag) \
    X(pca, "pca", Flag) \
    X(pgdsctbl, "pgdsctbl", Destination) \
    X(pgptbl, "pgptbl", Destination) \
    X(pich, "pich", Value) \
    X(pichgoal, "pichgoal", Value) \
    X(picprop, "picprop", Destination) \
    X(picscalex, "picscalex", Value) \
    X(picscaley, "picscaley", Value) \
    X(pict, "pict", Destination) \
    X(picw, "picw", Value) \
    X(picwgoal, "picwgoal", Value) \
    X(plain, "plain", Flag) \
    X(pmmetafile, "pmmetafile", Value) \
    X(pn, "pn", Destination) \
    X(pndec, "pndec", Flag) \
    X(pngblip, "pngblip", Flag) \
    X(pnlvlblt, "pnlvlblt", Flag) \
    X(pnlvlbody, "pnlvlbody", Flag) \
    X(pnlvlcont, "pnlvlcont", Flag) \
    X(pnseclvl, "pnseclvl", Destination) \
    X(pntext, "pntext", Destination) \
    X(pntxta, "pntxta", Destination) \
    X(pntxtb, "pntxtb", Destination) \
    X(printim, "printim", Destination) \
    X(private_, "private", Destination) \
    X(protect, "protect", Toggle) \
    X(protusertbl, "protusertbl", Destination) \
    X(qc, "qc", Flag) \
    X(qd, "qd", Flag) \
    X(qj, "qj", Flag) \
    X(ql, "ql", Flag) \
    X(qmspace, "qmspace", Symbol) \
    X(qr, "qr", Flag) \
    X(rdblquote, "rdblquote", Symbol) \
    X(red, "red", Value) \
    X(result, "result", Destination) \
    X(revtbl, "revtbl", Destination) \
    X(revtim, "revtim", Destination) \
    X(ri, "ri", Value) \
    X(rin, "rin", Value) \
    X(row, "row", Flag) \
    X(rquote, "rquote", Symbol) \
    X(rsidtbl, "rsidtbl", Destination) \
    X(rtf, "rtf", Value) \
    X(rtlmark, "rtlmark", Symbol) \
    X(rxe, "rxe", Destination) \
    X(sa, "sa", Value) \
    X(sb, "sb", Value) \
    X(sect, "sect", Flag) \
    X(shp, "shp", Destination) \
    X(shppict, "shppict", Destination) \
    X(shprslt, "shprslt", Destination) \
    X(sl, "sl", Value) \
    X(slmult, "slmult", Value) \
    X(strike, "strike", Toggle) \
    X(striked, "striked", Toggle) \
    X(stylesheet, "stylesheet", Destination) \
    X(sub, "sub", Flag) \
    X(subject, "subject", Destination) \
    X(super, "super", Flag) \
    X(tab, "tab", Symbol) \
    X(tb, "tb", Value) \
    X(tc, "tc", Destination) \
    X(template_, "template", Destination) \
    X(themedata, "themedata", Destination) \
    X(title, "title", Destination) \
    X(tqc, "tqc", Flag) \
    X(tqdec, "tqdec", Flag) \
    X(tqr, "tqr", Flag) \
    X(trautofit, "trautofit", Value) \
    X(trbrdrb, "trbrdrb", Flag) \
    X(trbrdrh, "trbrdrh", Flag) \
    X(trbrdrl, "trbrdrl", Flag) \
    X(trbrdrr, "trbrdrr", Flag) \
    X(trbrdrt, "trbrdrt", Flag) \
    X(trbrdrv, "trbrdrv", Flag) \
    X(trgaph, "trgaph", Value) \
    X(trhdr, "trhdr", Flag) \
    X(trleft, "trleft", Value) \
    X(trowd, "trowd", Flag) \
    X(trpaddb, "trpaddb", Value) \
    X(trpaddl, "trpaddl", Value) \
    X(trpaddr, "trpaddr", Value) \
    X(trpaddt, "trpaddt", Value) \
    X(trqc, "trqc", Flag) \
    X(trql, "trql", Flag) \
    X(trqr, "trqr", Flag) \
    X(trrh, "trrh", Value) \
    X(tx, "tx", Value) \
    X(txe, "txe", Destination) \
    X(u, "u", Value) \
    X(uc, "uc", Value) \
    X(ud, "ud", Destination) \
    X(ul, "ul", Toggle) \
    X(uld, "uld", Toggle) \
    X(uldash, "uldash", Toggle) \
    X(uldashd, "uldashd", Toggle) \
    X(uldashdd, "uldashdd", Toggle) \
    X(uldb, "uldb", Toggle) \
    X(ulhwave, "ulhwave", Toggle) \
    X(ulldash, "ulldash", Toggle) \
    X(ulnone, "ulnone", Flag) \
    X(ulth, "ulth", Toggle) \
    X(ulthd, "ulthd", Toggle) \
    X(ulthdash, "ulthdash", Toggle) \
    X(ulthdashd, "ulthdashd", Toggle) \
    X(ulthdashdd, "ulthdashdd", Toggle) \
    X(ulthldash, "ulthldash", Toggle) \
    X(ululdbwave, "ululdbwave", Toggle) \
    X(ulw, "ulw", Toggle) \
    X(ulwave, "ulwave", Toggle) \
    X(up, "up", Value) \
    X(userprops, "userprops", Destination) \
    X(v, "v", Toggle) \
    X(wbitmap, "wbitmap", Value) \
    X(wbmbitspixel, "wbmbitspixel", Value) \
    X(wbmplanes, "wbmplanes", Value) \
    X(wbmwidthbytes, "wbmwidthbytes", Value) \
    X(wgrffmtfilter, "wgrffmtfilter", Destination) \
    X(wmetafile, "wmetafile", Value) \
    X(xe, "xe", Destination) \
    X(xmlnstbl, "xmlnstbl", Destination) \
    X(zwj, "zwj", Symbol) \
    X(zwnj, "zwnj", Symbol)

enum class RtfWord : quint16 {
#define ENGINE_RTF_WORD_ID(id, name, kind) id,
    ENGINE_RTF_CONTROL_WORDS(ENGINE_RTF_WORD_ID)
#undef ENGINE_RTF_WORD_ID
};

struct RtfControlWord {
    std::string_view name;
    RtfWordKind kind;
    RtfWord id;
};

// The entry for a control word name, or nullptr when the reader does not know it.
const RtfControlWord *findRtfControlWord(QByteArrayView name);

}  // namespace engine
