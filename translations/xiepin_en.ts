<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ChannelPlan</name>
    <message>
        <source>日期：%1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>文件：%1</source>
        <translation>File: %1</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>恢复备份</source>
        <translation>Restore backup</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>写回</source>
        <translation>Write back</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>OpenedFile</name>
    <message>
        <source>%1 不是普通文件（而是文件夹、管道或设备），无法打开</source>
        <translation>%1 is not a regular file (it is a folder, a pipe or a device) and cannot be opened</translation>
    </message>
</context>
<context>
    <name>TChannelPlanActions</name>
    <message>
        <source>导入 CSV…</source>
        <translation>Import CSV…</translation>
    </message>
    <message>
        <source>导出 CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>导出 PDF…</source>
        <translation>Export PDF…</translation>
    </message>
    <message>
        <source>导入 CSV</source>
        <translation>Import CSV</translation>
    </message>
    <message>
        <source>从信道开始：</source>
        <translation>Start at channel:</translation>
    </message>
    <message numerus="yes">
        <source>导入了 %n 个信道。</source>
        <translation>
            <numerusform>%n channel imported.</numerusform>
            <numerusform>%n channels imported.</numerusform>
        </translation>
    </message>
    <message>
        <source>以下各行有变动或未导入：</source>
        <translation> These lines were changed or not imported:</translation>
    </message>
</context>
<context>
    <name>TFleetDialog</name>
    <message>
        <source>批量写频</source>
        <translation>Write Several Radios</translation>
    </message>
    <message>
        <source>写入当前的信道和设置，每台电台一根写频线。选择电台所在的端口：</source>
        <translation>Writes the current channels and settings, one programming cable per radio. Choose the radios&apos; ports:</translation>
    </message>
    <message>
        <source>同时写入四个信令表（DTMF、2TONE、5TONE、FSK），按信令窗口中的内容</source>
        <translation>Also write the four signalling tables (DTMF, 2TONE, 5TONE, FSK) as their windows hold them</translation>
    </message>
    <message>
        <source>每台电台写入前先备份，写入后读回校验；一台出错不影响其他电台。</source>
        <translation>Each radio is backed up before the write and read back after it; one radio&apos;s failure does not stop the others.</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>用时</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>开始写入</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>写入成功，已校验</source>
        <translation>Verified</translation>
    </message>
    <message>
        <source>已写入（未校验）</source>
        <translation>Written (not verified)</translation>
    </message>
    <message>
        <source>已读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>写入校验失败</source>
        <translation>Write verify failed</translation>
    </message>
    <message>
        <source>电台无应答</source>
        <translation>No answer from the radio</translation>
    </message>
    <message>
        <source>端口已断开</source>
        <translation>Port disconnected</translation>
    </message>
    <message>
        <source>无法打开端口</source>
        <translation>Could not open the port</translation>
    </message>
    <message>
        <source>备份失败，未写入</source>
        <translation>Backup failed, nothing written</translation>
    </message>
    <message>
        <source>读取不完整</source>
        <translation>Incomplete read</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>请至少选择一个端口</source>
        <translation>Choose at least one port</translation>
    </message>
    <message>
        <source>无法开始批量写频</source>
        <translation>Cannot start writing the radios</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>未完成</source>
        <translation>Not done</translation>
    </message>
    <message>
        <source>备份：%1</source>
        <translation>Backup: %1</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>备份</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Verifying</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>%1 %2/%3</source>
        <translation>%1 %2/%3</translation>
    </message>
    <message>
        <source>%1 台成功，%2 台失败</source>
        <translation>%1 succeeded, %2 failed</translation>
    </message>
    <message>
        <source>%1，未写入</source>
        <translation>%1, nothing written</translation>
    </message>
    <message>
        <source>%1，%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1，已写入，未校验</source>
        <translation>%1, written, not verified</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>另存为…</source>
        <translation>Save As…</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>信令编辑</source>
        <translation>Signalling</translation>
    </message>
    <message>
        <source>写频(&amp;W)(F11)</source>
        <translation>&amp;Write (F11)</translation>
    </message>
    <message>
        <source>读频(&amp;R)(F12)</source>
        <translation>&amp;Read (F12)</translation>
    </message>
    <message>
        <source>读频</source>
        <translation>Read from radio</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>信道表或设置已修改，是否保存？</source>
        <translation>The channel table or the settings have changed. Save them?</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>对讲机写频软件
版本 %1

以 MIT 许可证发布（见 LICENSE 文件）。</source>
        <translation>Two-Way Radio Programmer
Version %1

Released under the MIT licence (see the LICENSE file).</translation>
    </message>
    <message>
        <source>对讲机写频软件 V%1</source>
        <translation>Two-Way Radio Programmer V%1</translation>
    </message>
    <message>
        <source>写入后校验</source>
        <translation>Verify after write</translation>
    </message>
    <message>
        <source>虚拟电台</source>
        <translation>Virtual radio</translation>
    </message>
    <message>
        <source>无法保存备份：%1</source>
        <translation>Cannot save the backup: %1</translation>
    </message>
    <message>
        <source>与电台比较</source>
        <translation>Compare with the radio</translation>
    </message>
    <message>
        <source>批量写频…</source>
        <translation>Write Several Radios…</translation>
    </message>
    <message>
        <source>电台正在读写，请等它结束后再批量写频</source>
        <translation>A transfer is running; wait for it to end before writing several radios</translation>
    </message>
    <message>
        <source>%1 的修改还没有写入电台，也没有保存到文件，退出后将丢失。仍要退出吗？</source>
        <translation>The changes to %1 have been neither written to the radio nor saved to a file and will be lost on exit. Exit anyway?</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>正在写入电台，现在退出会使电台只写入一部分。仍要退出吗？</source>
        <translation>A write to the radio is running; exiting now would leave the radio partly written. Exit anyway?</translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>正在读取电台…</source>
        <translation>Reading the radio…</translation>
    </message>
    <message>
        <source>正在读取电台，以便比较…</source>
        <translation>Reading the radio to compare…</translation>
    </message>
    <message>
        <source>写入前先备份：正在读取电台…</source>
        <translation>Backup before the write: reading the radio…</translation>
    </message>
    <message>
        <source>正在写入电台…</source>
        <translation>Writing the radio…</translation>
    </message>
    <message>
        <source>写入后校验：正在读回电台…</source>
        <translation>Verify after the write: reading the radio back…</translation>
    </message>
</context>
<context>
    <name>TMainEditing</name>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>剪切</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>插入信道</source>
        <translation>Insert Channel</translation>
    </message>
    <message>
        <source>删除信道</source>
        <translation>Delete Channel</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move Down</translation>
    </message>
    <message>
        <source>清空信道</source>
        <translation>Clear Channel</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Typing</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>信道 %1 已在使用，不能插入信道</source>
        <translation>Channel %1 is in use; no channel can be inserted</translation>
    </message>
</context>
<context>
    <name>TRestoreActions</name>
    <message>
        <source>从备份恢复…</source>
        <translation>Restore from backup…</translation>
    </message>
    <message>
        <source>恢复备份</source>
        <translation>Restore backup</translation>
    </message>
    <message>
        <source>备份不含任何块，无法写回</source>
        <translation>The backup holds no block: nothing to write back</translation>
    </message>
    <message>
        <source>信道和设置</source>
        <translation>Channels and settings</translation>
    </message>
    <message>
        <source>写回备份到 %1？</source>
        <translation>Write this backup back to %1?</translation>
    </message>
    <message>
        <source>文件：%1</source>
        <translation>File: %1</translation>
    </message>
    <message numerus="yes">
        <source>内容：%1（%n 块）</source>
        <translation>
            <numerusform>Holds: %1 (%n block)</numerusform>
            <numerusform>Holds: %1 (%n blocks)</numerusform>
        </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>读取时间：%1</source>
        <translation>Read at: %1</translation>
    </message>
    <message>
        <source>端口：%1</source>
        <translation>Port: %1</translation>
    </message>
    <message>
        <source>程序：%1</source>
        <translation>Program: %1</translation>
    </message>
</context>
<context>
    <name>TSignallingWindow</name>
    <message>
        <source>输入</source>
        <translation>Typing</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>读取失败：电台无应答</source>
        <translation>Read failed: the radio does not answer</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>无法保存备份：%1</source>
        <translation>Cannot save the backup: %1</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>与电台比较</source>
        <translation>Compare with the radio</translation>
    </message>
    <message>
        <source>%1 不含完整的 %2 表</source>
        <translation>%1 does not hold the whole %2 table</translation>
    </message>
</context>
<context>
    <name>TXStringGrid</name>
    <message>
        <source>%1 个单元格超出表格，没有粘贴</source>
        <translation>%1 cell(s) lie outside the table and were not pasted</translation>
    </message>
    <message>
        <source>剪切</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>对讲机写频软件</source>
        <translation>Two-Way Radio Programmer</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>DTMF编码</source>
        <translation>DTMF Encode</translation>
    </message>
    <message>
        <source>DTMF解码</source>
        <translation>DTMF Decode</translation>
    </message>
    <message>
        <source>编码</source>
        <translation>Encode</translation>
    </message>
    <message>
        <source>解码</source>
        <translation>Decode</translation>
    </message>
    <message>
        <source>两音频率</source>
        <translation>Two-tone frequencies</translation>
    </message>
    <message>
        <source>2TONE解码</source>
        <translation>2TONE decode</translation>
    </message>
    <message>
        <source>标准</source>
        <translation>Standards</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>无</source>
        <comment>yes/no</comment>
        <translation>No</translation>
    </message>
    <message>
        <source>提醒</source>
        <translation>Alert</translation>
    </message>
    <message>
        <source>回复</source>
        <translation>Reply</translation>
    </message>
    <message>
        <source>提醒并回复</source>
        <translation>Alert + reply</translation>
    </message>
    <message>
        <source>A音（HZ）</source>
        <translation>Tone A (Hz)</translation>
    </message>
    <message>
        <source>B音（HZ）</source>
        <translation>Tone B (Hz)</translation>
    </message>
    <message>
        <source>C音（HZ）</source>
        <translation>Tone C (Hz)</translation>
    </message>
    <message>
        <source>D音（HZ）</source>
        <translation>Tone D (Hz)</translation>
    </message>
    <message>
        <source>复位时间（MS）</source>
        <translation>Reset time (ms)</translation>
    </message>
    <message>
        <source>第一个频率时间长（MS）</source>
        <translation>First tone length (ms)</translation>
    </message>
    <message>
        <source>第二个频率时间长（MS）</source>
        <translation>Second tone length (ms)</translation>
    </message>
    <message>
        <source>前后两个频率的间隔时间长（MS）</source>
        <translation>Gap between the tones (ms)</translation>
    </message>
    <message>
        <source>信息码</source>
        <translation>Entry</translation>
    </message>
    <message>
        <source>第一个频率（HZ）</source>
        <translation>First tone (Hz)</translation>
    </message>
    <message>
        <source>第二个频率（HZ）</source>
        <translation>Second tone (Hz)</translation>
    </message>
    <message>
        <source>响应方式</source>
        <translation>Response</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>DTMF速率</source>
        <translation>DTMF rate</translation>
    </message>
    <message>
        <source>首位数码时间（毫秒）</source>
        <translation>First digit time (ms)</translation>
    </message>
    <message>
        <source>首位数码延迟（毫秒）</source>
        <translation>First digit delay (ms)</translation>
    </message>
    <message>
        <source>*和#音时间（毫秒）</source>
        <translation>* and # tone time (ms)</translation>
    </message>
    <message>
        <source>D键设定(毫秒)</source>
        <translation>D key setting (ms)</translation>
    </message>
    <message>
        <source>D码</source>
        <translation>D code</translation>
    </message>
    <message>
        <source>DTMF侧音</source>
        <translation>DTMF side tone</translation>
    </message>
    <message>
        <source>ID码</source>
        <translation>ID code</translation>
    </message>
    <message>
        <source>组呼码</source>
        <translation>Group call code</translation>
    </message>
    <message>
        <source>关</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>自动复位定时器（秒）</source>
        <translation>Auto reset timer (s)</translation>
    </message>
    <message>
        <source>呼叫告警</source>
        <translation>Call alert</translation>
    </message>
    <message>
        <source>常规</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>连续</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>自动应答</source>
        <translation>Auto answer</translation>
    </message>
    <message>
        <source>告警</source>
        <translation>Alert tone</translation>
    </message>
    <message>
        <source>清除自动应答</source>
        <translation>Clear auto answer</translation>
    </message>
    <message>
        <source>自动拨号存储器</source>
        <translation>Autodial</translation>
    </message>
    <message>
        <source>队列（自身）</source>
        <translation>Queue (own)</translation>
    </message>
    <message>
        <source>ID（自身）</source>
        <translation>ID (own)</translation>
    </message>
    <message>
        <source>队列同步波特率[bps]</source>
        <translation>Queue sync baud rate [bps]</translation>
    </message>
    <message>
        <source>数据发射延迟时间[MS]</source>
        <translation>Data transmit delay [ms]</translation>
    </message>
    <message>
        <source>信息模式定时器[S]</source>
        <translation>Message mode timer [s]</translation>
    </message>
    <message>
        <source>PTT ID侧音</source>
        <translation>PTT ID side tone</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>队列</source>
        <translation>Queue</translation>
    </message>
    <message>
        <source>通话</source>
        <translation>Talk</translation>
    </message>
    <message>
        <source>主叫</source>
        <translation>Caller</translation>
    </message>
    <message>
        <source>被叫</source>
        <translation>Called</translation>
    </message>
    <message>
        <source>监听</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>巡查</source>
        <translation>Patrol</translation>
    </message>
    <message>
        <source>报警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>遥毙</source>
        <translation>Kill</translation>
    </message>
    <message>
        <source>遥晕</source>
        <translation>Stun</translation>
    </message>
    <message>
        <source>唤醒</source>
        <translation>Revive</translation>
    </message>
    <message>
        <source>标准名称：</source>
        <translation>Standard:</translation>
    </message>
    <message>
        <source>发送第一帧编码的延迟时间（MS）</source>
        <translation>Delay before the first code (ms)</translation>
    </message>
    <message>
        <source>发送第二帧编码的延迟时间（MS）</source>
        <translation>Delay before the second code (ms)</translation>
    </message>
    <message>
        <source>发送第三帧编码的延迟时间（MS）</source>
        <translation>Delay before the third code (ms)</translation>
    </message>
    <message>
        <source>各组码第一个音的扩展时长</source>
        <translation>First tone extension of each code</translation>
    </message>
    <message>
        <source>使用标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>功   能</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>5 TONE 标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>发射时长（MS）</source>
        <translation>Tone length (ms)</translation>
    </message>
    <message>
        <source>群呼码</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>重复码</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>第一帧编码</source>
        <translation>Code 1</translation>
    </message>
    <message>
        <source>第二帧编码</source>
        <translation>Code 2</translation>
    </message>
    <message>
        <source>第三帧编码</source>
        <translation>Code 3</translation>
    </message>
    <message>
        <source>确认码</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>第一帧解码</source>
        <translation>Code 1</translation>
    </message>
    <message>
        <source>第二帧解码</source>
        <translation>Code 2</translation>
    </message>
    <message>
        <source>第三帧解码</source>
        <translation>Code 3</translation>
    </message>
    <message>
        <source>第一帧功能</source>
        <translation>Function 1</translation>
    </message>
    <message>
        <source>第二帧功能</source>
        <translation>Function 2</translation>
    </message>
    <message>
        <source>第三帧功能</source>
        <translation>Function 3</translation>
    </message>
    <message>
        <source>回复码</source>
        <translation>Reply code</translation>
    </message>
    <message>
        <source>信道编号</source>
        <translation>Ch.</translation>
    </message>
    <message>
        <source>接收频率</source>
        <translation>RX freq</translation>
    </message>
    <message>
        <source>发射频率</source>
        <translation>TX freq</translation>
    </message>
    <message>
        <source>QT/DQT解码</source>
        <translation>QT/DQT dec.</translation>
    </message>
    <message>
        <source>QT/DQT编码</source>
        <translation>QT/DQT enc.</translation>
    </message>
    <message>
        <source>发射功率</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>高</source>
        <translation>High</translation>
    </message>
    <message>
        <source>宽/窄</source>
        <translation>W/N</translation>
    </message>
    <message>
        <source>宽带</source>
        <translation>Wide</translation>
    </message>
    <message>
        <source>扫描添加</source>
        <translation>Scan add</translation>
    </message>
    <message>
        <source>有</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>步进频率</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>DTMF键1</source>
        <translation>DTMF key 1</translation>
    </message>
    <message>
        <source>DTMF键2</source>
        <translation>DTMF key 2</translation>
    </message>
    <message>
        <source>扰频</source>
        <translation>Scrambler</translation>
    </message>
    <message>
        <source>可选信令</source>
        <translation>Signalling</translation>
    </message>
    <message>
        <source>信令信息</source>
        <translation>Sig. entry</translation>
    </message>
    <message>
        <source>压扩</source>
        <translation>Compander</translation>
    </message>
    <message>
        <source>VOX等级</source>
        <translation>VOX level</translation>
    </message>
    <message>
        <source>VOX延迟时间</source>
        <translation>VOX delay</translation>
    </message>
    <message>
        <source>静噪</source>
        <translation>Squelch</translation>
    </message>
    <message>
        <source>超时定时器</source>
        <translation>Time-out timer</translation>
    </message>
    <message>
        <source>语音通知</source>
        <translation>Voice prompt</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>English</translation>
    </message>
    <message>
        <source>扫描：</source>
        <translation>Scan:</translation>
    </message>
    <message>
        <source>开</source>
        <translation>On</translation>
    </message>
    <message>
        <source>省电：</source>
        <translation>Power save:</translation>
    </message>
    <message>
        <source>自动拨号</source>
        <translation>Autodial</translation>
    </message>
    <message>
        <source>警报音</source>
        <translation>Alarm tone</translation>
    </message>
    <message>
        <source>按键锁定</source>
        <translation>Key lock</translation>
    </message>
    <message>
        <source>按键锁定及备份</source>
        <translation>Key lock + backup</translation>
    </message>
    <message>
        <source>监听瞬时</source>
        <translation>Momentary monitor</translation>
    </message>
    <message>
        <source>扫描</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>扫描+暂时删除</source>
        <translation>Scan + nuisance delete</translation>
    </message>
    <message>
        <source>扰频器</source>
        <translation>Scrambler on/off</translation>
    </message>
    <message>
        <source>取消静噪</source>
        <translation>Squelch off</translation>
    </message>
    <message>
        <source>瞬时取消静噪</source>
        <translation>Momentary squelch off</translation>
    </message>
    <message>
        <source>暂时删除</source>
        <translation>Nuisance delete</translation>
    </message>
    <message>
        <source>低</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>窄带</source>
        <translation>Narrow</translation>
    </message>
    <message>
        <source>PF1：</source>
        <translation>PF1:</translation>
    </message>
    <message>
        <source>PF2：</source>
        <translation>PF2:</translation>
    </message>
    <message>
        <source>解码%1</source>
        <translation>Dec%1</translation>
    </message>
    <message>
        <source>FSK 队列同步</source>
        <translation>FSK Queue Sync</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>（空）</source>
        <translation>(empty)</translation>
    </message>
    <message>
        <source>信道 %1 %2</source>
        <translation>Channel %1 %2</translation>
    </message>
</context>
<context>
    <name>TransferMessages</name>
    <message>
        <source>已读取 %1/%2 块</source>
        <translation>%1 of %2 blocks read</translation>
    </message>
    <message>
        <source>已写入 %1/%2 块</source>
        <translation>%1 of %2 blocks written</translation>
    </message>
    <message>
        <source>端口 %1 已断开，%2</source>
        <translation>Port %1 was disconnected, %2</translation>
    </message>
    <message>
        <source>电台无应答：请检查电缆、电台电源和端口（已重发 %1 次）</source>
        <translation>The radio does not answer: check the cable, the radio&apos;s power and the port (%1 resends)</translation>
    </message>
    <message>
        <source>写入前的备份：%1</source>
        <translation>Backup from before the write: %1</translation>
    </message>
    <message>
        <source>此端口上更早的一次写入也未完成；若是同一部电台，那次写入前的备份：%1</source>
        <translation>An earlier write on this port did not finish either; if this is the same radio, its backup from before that write: %1</translation>
    </message>
    <message>
        <source>读取不完整：电台没有发来%1。窗口中这些位置显示的不是电台的内容，写入前请重新读取。</source>
        <translation>The read is incomplete: the radio never sent %1. What the window shows there is not the radio&apos;s; read again before writing.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>此端口上早先的一次写入未完成，这次写入后电台仍可能只写了一半；若是同一部电台，那次写入前的备份：%1</source>
        <translation>An earlier write on this port did not finish, and after this write the radio may still be half written; if this is the same radio, its backup from before that write: %1</translation>
    </message>
    <message>
        <source>此端口上的一次写入未完成，读到的可能只写了一半；若是同一部电台，那次写入前的备份：%1，可用“文件 → 恢复备份”写回</source>
        <translation>A write on this port did not finish, so what was read may be only half written; if this is the same radio, its backup from before that write: %1, which &quot;File → Restore backup&quot; writes back</translation>
    </message>
    <message>
        <source>写入校验失败</source>
        <translation>Write verify failed</translation>
    </message>
    <message>
        <source>无法保存备份，未写入：%1</source>
        <translation>Cannot save the backup, nothing written: %1</translation>
    </message>
    <message>
        <source>写入成功</source>
        <translation>Write successful</translation>
    </message>
    <message>
        <source>写入失败：电台无应答</source>
        <translation>Write failed: the radio does not answer</translation>
    </message>
    <message>
        <source>，未写入</source>
        <translation>, nothing written</translation>
    </message>
    <message>
        <source>窗口与电台相同</source>
        <translation>The window and the radio are the same</translation>
    </message>
    <message numerus="yes">
        <source>窗口与电台有 %n 处不同（电台 → 窗口）：</source>
        <translation>
            <numerusform>The window differs from the radio in %n field (radio → window):</numerusform>
            <numerusform>The window differs from the radio in %n fields (radio → window):</numerusform>
        </translation>
    </message>
    <message>
        <source>电台无应答，%1</source>
        <translation>The radio does not answer, %1</translation>
    </message>
    <message>
        <source>已写入，未校验（已读回 %1/%2 块）</source>
        <translation>written, not verified (%1/%2 blocks read back)</translation>
    </message>
    <message>
        <source>已取消，%1</source>
        <translation>Cancelled, %1</translation>
    </message>
</context>
</TS>
