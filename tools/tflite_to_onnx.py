#!/usr/bin/python3
"""Converts the selfie segmentation TFLite model into ONNX that OpenCV's DNN module reads.

  tflite_to_onnx.py MODEL.tflite OUTPUT.onnx

TFLite tensors are NHWC; the ONNX graph is NCHW throughout (input [1, 3, H, W], output
[1, 1, H, W]). fp16 weights are folded to fp32, HARD_SWISH becomes x * HardSigmoid(1/6, 1/2) and
the custom Convolution2DTransposeBias op becomes ConvTranspose with its bias. Opset 11.
Only the operators this model uses are handled; anything else stops the conversion.
"""
import struct
import sys

import flatbuffers
import numpy as np
import onnx
from flatbuffers import number_types as N
from onnx import TensorProto, helper, numpy_helper


class Table:
    """A flatbuffer table read by field index (vtable slot)."""

    def __init__(self, buf, pos):
        self.t = flatbuffers.table.Table(buf, pos)
        self.buf = buf

    def _off(self, field):
        return self.t.Offset(4 + 2 * field)

    def scalar(self, field, flags, default=0):
        o = self._off(field)
        return self.t.Get(flags, o + self.t.Pos) if o else default

    def string(self, field):
        o = self._off(field)
        return self.t.String(o + self.t.Pos).decode() if o else None

    def table(self, field):
        o = self._off(field)
        if not o:
            return None
        return Table(self.buf, self.t.Indirect(o + self.t.Pos))

    def tables(self, field):
        o = self._off(field)
        if not o:
            return []
        start, n = self.t.Vector(o), self.t.VectorLen(o)
        return [Table(self.buf, self.t.Indirect(start + 4 * i)) for i in range(n)]

    def vector(self, field, dtype):
        o = self._off(field)
        if not o:
            return np.zeros(0, dtype=dtype)
        start, n = self.t.Vector(o), self.t.VectorLen(o)
        return np.frombuffer(self.buf, dtype=dtype, count=n, offset=start)


# TFLite enums used here.
TENSOR_TYPES = {0: np.float32, 1: np.float16, 2: np.int32, 3: np.uint8, 4: np.int64}
OPS = {0: "ADD", 1: "AVERAGE_POOL_2D", 2: "CONCATENATION", 3: "CONV_2D", 4: "DEPTHWISE_CONV_2D",
       6: "DEQUANTIZE", 14: "LOGISTIC", 17: "MAX_POOL_2D", 18: "MUL", 19: "RELU", 21: "RELU6",
       22: "RESHAPE", 23: "RESIZE_BILINEAR", 32: "CUSTOM", 34: "PAD", 40: "MEAN",
       117: "HARD_SWISH"}
SAME, VALID = 0, 1
ACT_NONE, ACT_RELU, ACT_RELU6 = 0, 1, 3


def main(source, target):
    buf = bytearray(open(source, "rb").read())
    model = Table(buf, flatbuffers.encode.Get(N.UOffsetTFlags.packer_type, buf, 0))
    opcodes = []
    for code in model.tables(1):
        builtin = max(code.scalar(0, N.Int8Flags), code.scalar(3, N.Int32Flags))
        opcodes.append((builtin, code.string(1)))
    buffers = [b.vector(0, np.uint8) for b in model.tables(4)]
    graph = model.tables(2)[0]
    tensors = []
    for t in graph.tables(0):
        tensors.append(dict(shape=[int(v) for v in t.vector(0, np.int32)], type=t.scalar(1, N.Int8Flags),
                            buffer=t.scalar(2, N.Uint32Flags), name=t.string(3)))
    inputs = list(graph.vector(1, np.int32))
    outputs = list(graph.vector(2, np.int32))

    consts = {}  # tensor index -> numpy array in TFLite layout

    def const(i):
        if i in consts:
            return consts[i]
        t = tensors[i]
        data = buffers[t["buffer"]] if t["buffer"] < len(buffers) else None
        if data is None or len(data) == 0:
            return None
        arr = np.frombuffer(bytes(data), dtype=TENSOR_TYPES[t["type"]]).reshape(t["shape"])
        consts[i] = arr
        return arr

    nodes, inits = [], []
    names = {}

    def name(i):
        return names.get(i, "t%d" % i)

    def add_init(label, arr):
        inits.append(numpy_helper.from_array(np.ascontiguousarray(arr), label))
        return label

    def activation(out_name, act):
        if act == ACT_NONE:
            return out_name
        pre = out_name + "_pre"
        if act == ACT_RELU:
            nodes.append(helper.make_node("Relu", [pre], [out_name]))
        elif act == ACT_RELU6:
            nodes.append(helper.make_node("Clip", [pre, add_init(out_name + "_lo", np.array(0, np.float32)),
                                                   add_init(out_name + "_hi", np.array(6, np.float32))], [out_name]))
        else:
            raise SystemExit("unsupported fused activation %d" % act)
        return pre

    def same_pads(in_hw, k_hw, stride, dilation=(1, 1)):
        pads = []
        for size, k, s, d in zip(in_hw, k_hw, stride, dilation):
            out = (size + s - 1) // s
            eff = (k - 1) * d + 1
            total = max((out - 1) * s + eff - size, 0)
            pads.append((total // 2, total - total // 2))
        return [pads[0][0], pads[1][0], pads[0][1], pads[1][1]]

    def to_nchw_const(arr):
        """A broadcast constant of an elementwise op, in NCHW."""
        a = arr.astype(np.float32)
        if a.ndim == 4:
            return a.transpose(0, 3, 1, 2)
        if a.ndim == 1 and a.size > 1:
            return a.reshape(1, -1, 1, 1)
        return a

    for op in graph.tables(3):
        code, custom = opcodes[op.scalar(0, N.Uint32Flags)]
        kind = OPS.get(code, "op%d" % code)
        ins = list(op.vector(1, np.int32))
        outs = list(op.vector(2, np.int32))
        opts = op.table(4)
        out = name(outs[0])
        if kind == "DEQUANTIZE":
            consts[outs[0]] = const(ins[0]).astype(np.float32)
            continue
        if kind in ("CONV_2D", "DEPTHWISE_CONV_2D"):
            w = const(ins[1]).astype(np.float32)
            b = const(ins[2]).astype(np.float32) if len(ins) > 2 and ins[2] >= 0 else None
            in_shape = tensors[ins[0]]["shape"]
            if kind == "CONV_2D":
                padding, sw, sh, act = (opts.scalar(0, N.Int8Flags), opts.scalar(1, N.Int32Flags),
                                        opts.scalar(2, N.Int32Flags), opts.scalar(3, N.Int8Flags))
                weight = w.transpose(0, 3, 1, 2)  # OHWI -> OIHW
                group = 1
            else:
                padding, sw, sh, act = (opts.scalar(0, N.Int8Flags), opts.scalar(1, N.Int32Flags),
                                        opts.scalar(2, N.Int32Flags), opts.scalar(4, N.Int8Flags))
                weight = w.transpose(3, 0, 1, 2)  # 1HWC -> C1HW
                group = in_shape[3]
            kh, kw = weight.shape[2], weight.shape[3]
            pads = same_pads(in_shape[1:3], (kh, kw), (sh, sw)) if padding == SAME else [0, 0, 0, 0]
            node_in = [name(ins[0]), add_init(out + "_w", weight)]
            if b is not None:
                node_in.append(add_init(out + "_b", b))
            nodes.append(helper.make_node("Conv", node_in, [activation(out, act)],
                                          kernel_shape=[kh, kw], strides=[sh, sw], pads=pads,
                                          group=group))
        elif kind == "CUSTOM" and custom == "Convolution2DTransposeBias":
            raw = bytes(op.vector(5, np.uint8))
            padding, sw, sh = struct.unpack("<iii", raw[:12])
            w = const(ins[1]).astype(np.float32)  # OHWI
            b = const(ins[2]).astype(np.float32)
            weight = w.transpose(3, 0, 1, 2)  # -> I O H W
            kh, kw = weight.shape[2], weight.shape[3]
            in_hw = tensors[ins[0]]["shape"][1:3]
            out_hw = tensors[outs[0]]["shape"][1:3]
            pads = []
            for size, o, k, s in zip(in_hw, out_hw, (kh, kw), (sh, sw)):
                total = s * (size - 1) + k - o
                pads.append((total // 2, total - total // 2))
            nodes.append(helper.make_node(
                "ConvTranspose", [name(ins[0]), add_init(out + "_w", weight), add_init(out + "_b", b)],
                [out], kernel_shape=[kh, kw], strides=[sh, sw],
                pads=[pads[0][0], pads[1][0], pads[0][1], pads[1][1]]))
        elif kind == "HARD_SWISH":
            x = name(ins[0])
            nodes.append(helper.make_node("HardSigmoid", [x], [out + "_gate"], alpha=1.0 / 6.0, beta=0.5))
            nodes.append(helper.make_node("Mul", [x, out + "_gate"], [out]))
        elif kind in ("ADD", "MUL"):
            act = opts.scalar(0, N.Int8Flags) if opts else ACT_NONE
            operands = []
            for k, i in enumerate(ins):
                c = const(i)
                operands.append(add_init(out + "_c%d" % k, to_nchw_const(c)) if c is not None else name(i))
            nodes.append(helper.make_node("Add" if kind == "ADD" else "Mul", operands, [activation(out, act)]))
        elif kind == "LOGISTIC":
            nodes.append(helper.make_node("Sigmoid", [name(ins[0])], [out]))
        elif kind == "RELU":
            nodes.append(helper.make_node("Relu", [name(ins[0])], [out]))
        elif kind == "RELU6":
            nodes.append(helper.make_node("Clip", [name(ins[0]), add_init(out + "_lo", np.array(0, np.float32)),
                                                   add_init(out + "_hi", np.array(6, np.float32))], [out]))
        elif kind in ("AVERAGE_POOL_2D", "MAX_POOL_2D"):
            padding, sw, sh, fw, fh, act = (opts.scalar(0, N.Int8Flags), opts.scalar(1, N.Int32Flags),
                                            opts.scalar(2, N.Int32Flags), opts.scalar(3, N.Int32Flags),
                                            opts.scalar(4, N.Int32Flags), opts.scalar(5, N.Int8Flags))
            in_hw = tensors[ins[0]]["shape"][1:3]
            if kind == "AVERAGE_POOL_2D" and [fh, fw] == list(in_hw):
                nodes.append(helper.make_node("GlobalAveragePool", [name(ins[0])], [activation(out, act)]))
            else:
                pads = same_pads(in_hw, (fh, fw), (sh, sw)) if padding == SAME else [0, 0, 0, 0]
                nodes.append(helper.make_node("AveragePool" if kind == "AVERAGE_POOL_2D" else "MaxPool",
                                              [name(ins[0])], [activation(out, act)], kernel_shape=[fh, fw],
                                              strides=[sh, sw], pads=pads))
        elif kind == "RESIZE_BILINEAR":
            align = opts.scalar(2, N.BoolFlags) if opts else False
            half = opts.scalar(3, N.BoolFlags) if opts else False
            size = const(ins[1])
            in_shape = tensors[ins[0]]["shape"]
            scales = np.array([1, 1, size[0] / in_shape[1], size[1] / in_shape[2]], np.float32)
            mode = "align_corners" if align else ("half_pixel" if half else "asymmetric")
            nodes.append(helper.make_node(
                "Resize", [name(ins[0]), add_init(out + "_roi", np.zeros(0, np.float32)),
                           add_init(out + "_scales", scales)], [out],
                mode="linear", coordinate_transformation_mode=mode))
        elif kind == "CONCATENATION":
            axis = opts.scalar(0, N.Int32Flags)
            nchw_axis = {3: 1, -1: 1, 1: 2, 2: 3}.get(axis, axis)
            nodes.append(helper.make_node("Concat", [name(i) for i in ins], [out], axis=nchw_axis))
        elif kind == "MEAN":
            axes = sorted(int(a) % 4 for a in const(ins[1]).reshape(-1))
            keep = opts.scalar(0, N.BoolFlags) if opts else False
            if axes != [1, 2] or not keep:
                raise SystemExit("unsupported MEAN over %s" % axes)
            nodes.append(helper.make_node("GlobalAveragePool", [name(ins[0])], [out]))
        else:
            raise SystemExit("unsupported operator %s (%s)" % (kind, custom))

    in_shape = tensors[inputs[0]]["shape"]
    out_shape = tensors[outputs[0]]["shape"]
    graph_def = helper.make_graph(
        nodes, "selfie_segmentation",
        [helper.make_tensor_value_info(name(inputs[0]), TensorProto.FLOAT,
                                       [1, in_shape[3], in_shape[1], in_shape[2]])],
        [helper.make_tensor_value_info(name(outputs[0]), TensorProto.FLOAT,
                                       [1, out_shape[3], out_shape[1], out_shape[2]])],
        inits)
    model_def = helper.make_model(graph_def, opset_imports=[helper.make_opsetid("", 11)],
                                  producer_name="orvella tflite_to_onnx")
    model_def.ir_version = 6
    onnx.checker.check_model(model_def)
    onnx.save(model_def, target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2])
